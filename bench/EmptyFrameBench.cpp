// The cost of an empty frame at the scene's design size: clearing the back buffer, flipping it and
// the presenting side taking the newest frame (without the upload to the window), against the
// bound of a plain memset and memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/display/DDraw.h"
#include "platform/headless/HeadlessScreen.h"
#include "sprites/SceneLayout.h"
#include "tests/platform/display/FlipChain.h"

namespace {

constexpr int kWidth = layout::kDesignWidth;
constexpr int kHeight = layout::kDesignHeight;

void EmptyFrame(benchmark::State& State)
{
    plat::HeadlessScreen screen;
    plat::DirectDraw* display = nullptr;
    plat::DirectDrawSurface* primary = nullptr;
    plat::DirectDrawSurface* back = nullptr;
    if (testsupport::OpenFlipChain(screen, kWidth, kHeight, display, primary, back) != plat::DD_OK) {
        State.SkipWithError("no flip chain");
        return;
    }
    plat::DDBLTFX fx;
    fx.dwFillColor = 0;
    for (auto _ : State) {
        back->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
        primary->Flip(nullptr, 0);
        const uint32_t* frame = screen.Frames().TakeNewest();
        benchmark::DoNotOptimize(frame);
    }
    State.SetBytesProcessed(State.iterations() * int64_t{kWidth} * kHeight * 4);
    back->Release();
    primary->Release();
    display->Release();
}
BENCHMARK(EmptyFrame);

void EmptyFrameCopyBound(benchmark::State& State)
{
    const size_t bytes = size_t{kWidth} * kHeight * 4;
    std::vector<uint32_t> back(bytes / 4), shown(bytes / 4);
    for (auto _ : State) {
        std::memset(back.data(), 0, bytes);
        std::memcpy(shown.data(), back.data(), bytes);
        benchmark::DoNotOptimize(shown.data());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(EmptyFrameCopyBound);

}  // namespace
