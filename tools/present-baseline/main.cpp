// The yardstick for the saver's processor time: the least any full-screen program of ours does
// at the saver's frame rate. Every 45 ms it hands one frame of the scene's design size to the
// platform screen and presents it scaled to cover the display, keeping the window system's input
// flowing, and nothing else: no composing, no sprites, no timer thread.
//
// Usage: solvane-present-baseline [seconds]   (default 20; ends early on Escape or a close
// request). Prints the number of frames presented.
#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/sdl/SdlScreen.h"
#include "sprites/SceneLayout.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr int kWidth = layout::kDesignWidth;
constexpr int kHeight = layout::kDesignHeight;
constexpr std::chrono::milliseconds kFramePeriod{45};

}  // namespace

int main(int argc, char** argv)
{
    const int Seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    if (Seconds <= 0) {
        std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
        return 2;
    }
    auto Screen = plat::CreateSdlScreen();
    if (!Screen->Open(kWidth, kHeight, 0)) {
        std::fprintf(stderr, "present-baseline: cannot open the screen\n");
        return 1;
    }
    plat::Application& App = plat::App();
    App.OnKeyPress = [&App](char Key) {
        if (Key == 27)
            App.Terminate();
    };

    plat::FrameMailbox& Frames = Screen->Frames();
    int Buffer = plat::FrameMailbox::kFirstProducerBuffer;
    int Presented = 0;
    const auto Start = std::chrono::steady_clock::now();
    const auto End = Start + std::chrono::seconds(Seconds);
    for (auto Due = Start + kFramePeriod; Due <= End && !App.Terminated(); Due += kFramePeriod) {
        std::this_thread::sleep_until(Due);
        App.ProcessMessages();
        // A new frame each time (one changing row), so every present uploads a fresh picture.
        std::memset(Frames.Buffer(Buffer) + (Presented % kHeight) * kWidth, Presented & 0xFF,
                    kWidth * sizeof(uint32_t));
        Buffer = Frames.Publish(Buffer);
        Presented += Screen->PresentLatest() ? 1 : 0;
    }
    Screen->Close();
    std::printf("frames presented: %d\n", Presented);
    return 0;
}
