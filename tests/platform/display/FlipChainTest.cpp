// The display object and its flip chain on the headless screen: what a flip hands over is exactly
// what the screen shows, the newest frame wins, the frame thread never waits for the presenting
// thread, and the gamma ramp reaches what is shown.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/platform/display/DisplayFixture.h"

using namespace plat;
using testsupport::ReadPixels;
using testsupport::WritePixels;

namespace {

class FlipChainTest : public testsupport::HeadlessDisplay {
protected:
    void FillBack(uint32_t Pixel)
    {
        DDBLTFX fx;
        fx.dwFillColor = Pixel;
        ASSERT_EQ(Back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    }
};

TEST_F(FlipChainTest, FlipHandsTheBackBufferToTheScreen)
{
    EXPECT_FALSE(Screen.PresentLatest()) << "nothing flipped yet";
    WritePixels(Back, [](int x, int y) { return static_cast<uint32_t>(y * 1000 + x); });
    const std::vector<uint32_t> drawn = ReadPixels(Back);
    ASSERT_EQ(Primary->Flip(nullptr, 0), DD_OK);
    ASSERT_TRUE(Screen.PresentLatest());
    const Picture& shown = Screen.Shown();
    ASSERT_EQ(shown.Width(), kWidth);
    ASSERT_EQ(shown.Height(), kHeight);
    EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), shown.Pixels()));
    EXPECT_FALSE(Screen.PresentLatest()) << "the same frame is not shown twice";
    EXPECT_EQ(Screen.PresentCount(), 1);
}

TEST_F(FlipChainTest, NewestFrameWinsWhenSeveralFlipsWait)
{
    for (uint32_t frame = 1; frame <= 5; ++frame) {
        FillBack(frame);
        ASSERT_EQ(Primary->Flip(nullptr, 0), DD_OK);
    }
    ASSERT_TRUE(Screen.PresentLatest());
    EXPECT_EQ(Screen.Shown().Pixels()[0], 5u);
    EXPECT_EQ(Screen.Shown().Pixels()[kWidth * kHeight - 1], 5u);
}

TEST_F(FlipChainTest, FillingThePrimaryShowsThatColourAndLeavesTheBackBuffer)
{
    FillBack(0x00FF0000u);
    DDBLTFX fx;
    fx.dwFillColor = 0x000000FFu;
    ASSERT_EQ(Primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    ASSERT_TRUE(Screen.PresentLatest());
    EXPECT_EQ(Screen.Shown().Pixels()[0], 0x000000FFu);
    EXPECT_EQ(ReadPixels(Back)[0], 0x00FF0000u);
}

TEST_F(FlipChainTest, FramesFromAnotherThreadArriveWholeAndInOrder)
{
    constexpr uint32_t kFrames = 2000;
    std::atomic<bool> done{false};
    std::thread frames([&] {
        for (uint32_t frame = 1; frame <= kFrames; ++frame) {
            DDBLTFX fx;
            fx.dwFillColor = frame;
            Back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
            Primary->Flip(nullptr, 0);
        }
        done = true;
    });
    uint32_t last = 0;
    bool torn = false, backwards = false;
    while (!done || last != kFrames) {
        if (!Screen.PresentLatest())
            continue;
        const uint32_t* pixels = Screen.Shown().Pixels();
        const uint32_t first = pixels[0];
        torn = torn || pixels[kWidth * kHeight - 1] != first || pixels[kWidth * kHeight / 2] != first;
        backwards = backwards || first <= last;
        last = first;
    }
    frames.join();
    EXPECT_FALSE(torn);
    EXPECT_FALSE(backwards);
}

TEST_F(FlipChainTest, OnlyOnePrimaryAndNoModeChangeUnderIt)
{
    const DDSURFACEDESC desc = testsupport::FlipChainDesc();
    DirectDrawSurface* second = nullptr;
    EXPECT_EQ(Display->CreateSurface(&desc, &second, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(Display->SetDisplayMode(32, 32, 32), DDERR_SURFACEBUSY);
    EXPECT_EQ(Back->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
    DrawContext* dc = nullptr;
    EXPECT_EQ(Primary->GetDC(&dc), DDERR_UNSUPPORTED);
}

TEST_F(FlipChainTest, FlipWhileTheBackBufferIsDrawnOnIsRefused)
{
    DrawContext* dc = nullptr;
    ASSERT_EQ(Back->GetDC(&dc), DD_OK);
    EXPECT_EQ(Primary->Flip(nullptr, 0), DDERR_SURFACEBUSY);
    ASSERT_EQ(Back->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(Primary->Flip(nullptr, 0), DD_OK);
}

TEST_F(FlipChainTest, GammaRampDimsWhatIsShownUntilTheDisplayCloses)
{
    DDCAPS caps;
    ASSERT_EQ(Display->GetCaps(&caps, nullptr), DD_OK);
    EXPECT_NE(caps.dwCaps2 & DDCAPS2_PRIMARYGAMMA, 0u);
    DirectDrawGammaControl* gamma = nullptr;
    ASSERT_EQ(Primary->QueryGammaControl(&gamma), DD_OK);
    DDGAMMARAMP ramp;
    ASSERT_EQ(gamma->GetGammaRamp(0, &ramp), DD_OK);
    EXPECT_EQ(ramp.red[255], 65535);
    uint16_t value = 0;
    for (int i = 0; i < 256; ++i, value = static_cast<uint16_t>(value + 128))
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = value;  // half brightness
    ASSERT_EQ(gamma->SetGammaRamp(0, &ramp), DD_OK);
    gamma->Release();

    FillBack(0x00FF8040u);
    ASSERT_EQ(Primary->Flip(nullptr, 0), DD_OK);
    ASSERT_TRUE(Screen.PresentLatest());
    EXPECT_EQ(Screen.Shown().Pixels()[0], 0x007F4020u);

    Back->Release();
    Back = nullptr;
    Primary->Release();
    Primary = nullptr;
    Display->Release();
    Display = nullptr;
    EXPECT_FALSE(Screen.IsOpen());
    DDGAMMARAMP after;
    Screen.GetGammaRamp(after);
    EXPECT_EQ(after.green[128], 128 * 257);
}

TEST(DisplayObjectTest, ModeNeedsExclusiveCooperationOnAScreen)
{
    HeadlessScreen screen;
    DirectDraw* display = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &display, nullptr), DD_OK);
    EXPECT_EQ(display->SetDisplayMode(1024, 768, 32), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(display->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    ASSERT_EQ(display->SetCooperativeLevel(&screen, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(display->SetDisplayMode(1024, 768, 32), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(display->SetCooperativeLevel(&screen, 0x11), DD_OK);
    EXPECT_EQ(display->SetDisplayMode(1024, 768, 8), DDERR_INVALIDMODE);
    EXPECT_EQ(display->SetDisplayMode(0, 768, 32), DDERR_INVALIDMODE);
    const DDSURFACEDESC desc = testsupport::FlipChainDesc();
    DirectDrawSurface* primary = nullptr;
    EXPECT_EQ(display->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(display->SetDisplayMode(1024, 768, 32), DD_OK);
    EXPECT_TRUE(screen.IsOpen());
    EXPECT_EQ(screen.Width(), 1024);
    ASSERT_EQ(display->CreateSurface(&desc, &primary, nullptr), DD_OK);
    EXPECT_EQ(primary->Width(), 1024);
    EXPECT_EQ(primary->Height(), 768);
    primary->Release();
    display->Release();
    EXPECT_FALSE(screen.IsOpen());
}

TEST(DisplayObjectTest, NumberedDevicesAndBadSurfaceRequests)
{
    HeadlessScreen screen;
    DirectDraw* display = nullptr;
    const GUID second = DisplayDeviceGuid(1);
    ASSERT_EQ(DirectDrawCreate(&second, &display, nullptr), DD_OK);
    ASSERT_EQ(display->SetCooperativeLevel(&screen, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_EQ(display->SetDisplayMode(1024, 768, 32), DDERR_GENERIC) << "the headless screen has one display";
    display->Release();

    GUID foreign;
    foreign.Data1 = 0x6C81A7E0;
    EXPECT_EQ(DirectDrawCreate(&foreign, &display, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(display, nullptr);

    ASSERT_EQ(DirectDrawCreate(nullptr, &display, nullptr), DD_OK);
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    DirectDrawSurface* surface = nullptr;
    EXPECT_EQ(display->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS) << "zero size";
    desc.dwWidth = 100000;
    desc.dwHeight = 10;
    EXPECT_EQ(display->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS) << "too wide";
    desc.dwWidth = 3;
    desc.dwHeight = 2;
    ASSERT_EQ(display->CreateSurface(&desc, &surface, nullptr), DD_OK) << "off-screen surfaces need no mode";
    EXPECT_EQ(testsupport::ReadPixels(surface), std::vector<uint32_t>(6, 0u)) << "new surfaces are black";
    display->Release();
}

// The display object takes the surfaces' memory with it. Surfaces still held stay safe to call
// and to release; surfaces nobody will release (a destroyed sprite's) are not reported as leaks
// by the sanitized build that runs this test.
TEST(DisplayObjectTest, SurfacesLeftBehindAreEmptiedButStaySafe)
{
    HeadlessScreen screen;
    DirectDraw* display = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &display, nullptr), DD_OK);
    ASSERT_EQ(display->SetCooperativeLevel(&screen, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(display->SetDisplayMode(320, 200, 32), DD_OK);
    const DDSURFACEDESC desc = testsupport::FlipChainDesc();
    DirectDrawSurface* primary = nullptr;
    ASSERT_EQ(display->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS caps;
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    DirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    DirectDrawSurface* held = testsupport::MakeOffScreen(display, 16, 8);
    for (int i = 0; i < 3; ++i)
        testsupport::MakeOffScreen(display, 16 + i, 8);  // forgotten
    DrawContext* dc = nullptr;
    ASSERT_EQ(held->GetDC(&dc), DD_OK);

    EXPECT_EQ(display->Release(), 0u);
    EXPECT_FALSE(screen.IsOpen());
    EXPECT_EQ(dc->SetPixel(0, 0, 0xFFFFFF), CLR_INVALID) << "a context still held draws nowhere";
    EXPECT_EQ(held->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(held->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(held->Restore(), DDERR_INVALIDOBJECT);
    EXPECT_EQ(back->BltFast(0, 0, held, nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_SURFACELOST);
    DDSURFACEDESC locked;
    EXPECT_EQ(held->Lock(nullptr, &locked, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(held->Release(), 0u);
    EXPECT_EQ(back->Release(), 1u) << "the primary still holds its back buffer";
    EXPECT_EQ(primary->Release(), 0u);
}

}  // namespace
