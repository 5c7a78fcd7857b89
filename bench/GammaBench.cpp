// Presenting a saver frame through the brightness ramp: PresentGamma (slope 128, half
// brightness) against PresentIdentity (slope 256, the display unchanged), each frame flipped and
// shown on the SDL window at the scene's design size. The gamma pass must stay a small part of presenting.
// Without DISPLAY the window is SDL's offscreen one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "platform/display/DDraw.h"
#include "platform/display/Screen.h"
#include "platform/sdl/SdlScreen.h"
#include "sprites/SceneLayout.h"
#include "tests/platform/display/FlipChain.h"

namespace {

void PresentThroughRamp(benchmark::State& State, uint16_t Slope)
{
    if (std::getenv("DISPLAY") == nullptr)
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::unique_ptr<plat::Screen> screen = plat::CreateSdlScreen();
    plat::DirectDraw* display = nullptr;
    plat::DirectDrawSurface* primary = nullptr;
    plat::DirectDrawSurface* back = nullptr;
    if (testsupport::OpenFlipChain(*screen, layout::kDesignWidth, layout::kDesignHeight, display, primary, back) !=
        plat::DD_OK) {
        State.SkipWithError("no window");
        if (primary)
            primary->Release();
        display->Release();
        return;
    }
    plat::DirectDrawGammaControl* gamma = nullptr;
    primary->QueryGammaControl(&gamma);
    plat::DDGAMMARAMP ramp;
    for (int i = 0; i < 256; ++i)
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = static_cast<uint16_t>(i * Slope);
    gamma->SetGammaRamp(0, &ramp);
    plat::DDBLTFX fx;
    fx.dwFillColor = 0x3080C0;
    back->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
    for (auto _ : State) {
        primary->Flip(nullptr, 0);
        benchmark::DoNotOptimize(screen->PresentLatest());
    }
    gamma->Release();
    back->Release();
    primary->Release();
    display->Release();
}

void PresentGamma(benchmark::State& State)
{
    PresentThroughRamp(State, 128);
}
BENCHMARK(PresentGamma)->Unit(benchmark::kMicrosecond);

void PresentIdentity(benchmark::State& State)
{
    PresentThroughRamp(State, 256);
}
BENCHMARK(PresentIdentity)->Unit(benchmark::kMicrosecond);

}  // namespace
