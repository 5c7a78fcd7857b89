// The processor time of presenting the saver's frames (the design size) at its frame rate (one every
// 45 ms) into a window covering the X server in DISPLAY (1280 x 1024 on the tests' server; the
// counters name the size), for 20 s each (SOLVANE_PRESENT_SECONDS changes it): the hack's way
// (our scaler into the root window, put with shared memory) and the saver's own, the frames with
// their layers (the surround and the band's overlay at the window's resolution, as the saver
// shows them on every monitor; without a GPU composed in the window's surface, scaling again only
// the rows that changed), against the yardstick, SDL's software renderer presenting the same
// frames smoothly scaled into the window, black bars beside them. The time is the whole process's.
//
// Target: PresentSdlSoftwareLayers <= 0.5 x PresentSdlSoftwareLinear1280x1024 at 1920 x 1080 and
// at 3840 x 2160 (run under an X server of that size).
#include "sprites/SceneLayout.h"
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "platform/display/Screen.h"
#include "platform/sdl/SdlScreen.h"
#include "platform/x11/ForeignScreen.h"
#include "sprites/SceneLayout.h"

namespace {

constexpr int kWidth = layout::kDesignWidth;
constexpr int kHeight = layout::kDesignHeight;

// The saver's frames move where its strips do (the horizon's mist; the sea and the shore from the
// middle strip down) and where a flyer crosses the sky; the rest stands still. Two
// such frames, shown in turn, differ in those rows and nowhere else.
bool Moves(int X, int Y, int Phase)
{
    const int flyer = 200 + 37 * Phase;
    return (Y >= layout::kHorizonStrip.Y && Y < layout::kHorizonStrip.Y + layout::kHorizonStrip.FrameHeight) ||
        Y >= layout::kMiddleStrip.Y || (X >= flyer && X < flyer + 44 && Y >= 150 && Y < 194);
}

std::vector<uint32_t> MakeFrame(int Phase)
{
    std::vector<uint32_t> pixels(size_t{kWidth} * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[size_t(y) * kWidth + x] =
                static_cast<uint32_t>((x + (Moves(x, y, Phase) ? Phase : 0)) * 0x010203 ^ y * 0x030201) & 0xFFFFFFu;
    return pixels;
}

void PresentPaced(benchmark::State& State, plat::Screen& Screen, bool Layers = false)
{
    if (std::getenv("DISPLAY") == nullptr || !Screen.Open(kWidth, kHeight, 0)) {
        State.SkipWithError("no X display");
        return;
    }
    if (Layers)
        Screen.SetLayers(true, 70);
    const char* seconds = std::getenv("SOLVANE_PRESENT_SECONDS");
    const std::chrono::seconds length(seconds != nullptr ? std::atoi(seconds) : 20);
    plat::FrameMailbox& frames = Screen.Frames();
    int buffer = plat::FrameMailbox::kFirstProducerBuffer;
    const std::vector<uint32_t> shown[2] = {MakeFrame(0), MakeFrame(7)};
    int64_t presented = 0;
    for (auto _ : State) {
        const auto start = std::chrono::steady_clock::now();
        for (auto due = start; due < start + length; due += std::chrono::milliseconds(45)) {
            std::this_thread::sleep_until(due);
            std::memcpy(frames.Buffer(buffer), shown[presented & 1].data(), shown[0].size() * 4);
            buffer = frames.Publish(buffer);
            presented += Screen.PresentLatest() ? 1 : 0;
        }
    }
    State.counters["frames"] = static_cast<double>(presented);
    State.counters["width"] = Screen.Layout().OutputWidth;
    State.counters["height"] = Screen.Layout().OutputHeight;
    Screen.Close();
}

void PresentHack1280x1024(benchmark::State& State)
{
    auto screen = plat::CreateForeignWindowScreen(0);
    PresentPaced(State, *screen);
}
BENCHMARK(PresentHack1280x1024)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kSecond);

void PresentSdlSoftwareLinear1280x1024(benchmark::State& State)
{
    auto screen = plat::CreateSdlScreen(plat::SdlRendering::Software);
    PresentPaced(State, *screen);
}
BENCHMARK(PresentSdlSoftwareLinear1280x1024)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

void PresentSdlSoftwareLayers(benchmark::State& State)
{
    auto screen = plat::CreateSdlScreen(plat::SdlRendering::Software);
    PresentPaced(State, *screen, true);
}
BENCHMARK(PresentSdlSoftwareLayers)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
