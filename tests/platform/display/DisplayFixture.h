// Test helpers: an open headless display (display object, primary surface and back buffer) and
// off-screen surfaces filled with known pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/display/DDraw.h"
#include "platform/headless/HeadlessScreen.h"
#include "tests/platform/display/FlipChain.h"

namespace testsupport {

inline plat::DirectDrawSurface* MakeOffScreen(plat::DirectDraw* Display, int Width, int Height)
{
    plat::DDSURFACEDESC desc;
    desc.dwFlags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = plat::DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<uint32_t>(Width);
    desc.dwHeight = static_cast<uint32_t>(Height);
    plat::DirectDrawSurface* surface = nullptr;
    EXPECT_EQ(Display->CreateSurface(&desc, &surface, nullptr), plat::DD_OK);
    return surface;
}

// Copies the surface's pixels out through a lock.
inline std::vector<uint32_t> ReadPixels(plat::DirectDrawSurface* Surface)
{
    plat::DDSURFACEDESC desc;
    std::vector<uint32_t> pixels;
    if (Surface->Lock(nullptr, &desc, 0, nullptr) != plat::DD_OK)
        return pixels;
    for (uint32_t y = 0; y < desc.dwHeight; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch);
        pixels.insert(pixels.end(), row, row + desc.dwWidth);
    }
    Surface->Unlock(nullptr);
    return pixels;
}

// Writes pixels through a lock; Generate(x, y) gives each value.
template <typename F>
void WritePixels(plat::DirectDrawSurface* Surface, F Generate)
{
    plat::DDSURFACEDESC desc;
    ASSERT_EQ(Surface->Lock(nullptr, &desc, 0, nullptr), plat::DD_OK);
    for (uint32_t y = 0; y < desc.dwHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
        for (uint32_t x = 0; x < desc.dwWidth; ++x)
            row[x] = Generate(static_cast<int>(x), static_cast<int>(y));
    }
    Surface->Unlock(nullptr);
}

class HeadlessDisplay : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override { ASSERT_EQ(OpenFlipChain(Screen, kWidth, kHeight, Display, Primary, Back), plat::DD_OK); }

    void TearDown() override
    {
        for (auto* surface : Owned)
            surface->Release();
        if (Back)
            Back->Release();
        if (Primary)
            Primary->Release();
        if (Display)
            Display->Release();
    }

    plat::DirectDrawSurface* OffScreen(int Width, int Height)
    {
        plat::DirectDrawSurface* surface = MakeOffScreen(Display, Width, Height);
        Owned.push_back(surface);
        return surface;
    }

    plat::HeadlessScreen Screen;
    plat::DirectDraw* Display = nullptr;
    plat::DirectDrawSurface* Primary = nullptr;
    plat::DirectDrawSurface* Back = nullptr;
    std::vector<plat::DirectDrawSurface*> Owned;
};

}  // namespace testsupport
