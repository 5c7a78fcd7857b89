// The full-screen saver on a desktop of two monitors (the halves of a private 1280 x 1024 X
// server, given as the monitor list): the picture on the first, the second covered in black
// while the screen is open, and the pointer moving over the cover reaches the application.
#include <gtest/gtest.h>

// Before Xlib, whose Status macro would rename its parameters.
#include "tests/shell/ChildProcess.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/sdl/SdlScreen.h"
#include "platform/types/DisplayList.h"

namespace {

uint32_t RootPixel(Display* D, int X, int Y)
{
    XImage* image = XGetImage(D, DefaultRootWindow(D), X, Y, 1, 1, AllPlanes, ZPixmap);
    const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
    XDestroyImage(image);
    return pixel;
}

TEST(MonitorCoversTest, TheOtherMonitorIsBlackWhileTheSaverRuns)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display";
    testproc::ScopedPrivateDisplay x;
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr) << "cannot open " << std::getenv("DISPLAY");
    if (DisplayWidth(d, 0) != 1280 || DisplayHeight(d, 0) != 1024) {
        XCloseDisplay(d);
        GTEST_SKIP() << "needs a 1280 x 1024 X display";
    }
    // A white desktop, so that the cover's black is told from it.
    const Window root = DefaultRootWindow(d);
    XSetWindowBackground(d, root, 0xFFFFFF);
    XClearWindow(d, root);
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string runnerDriver = driver != nullptr ? driver : "";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    auto monitors =
        std::make_shared<plat::FixedDisplays>(std::vector<plat::TRect>{{0, 0, 640, 1024}, {640, 0, 1280, 1024}});
    std::unique_ptr<plat::Screen> screen = plat::CreateSdlScreen(plat::SdlRendering::Best, monitors);
    ASSERT_TRUE(screen->Open(1024, 768, 0));
    plat::FrameMailbox& frames = screen->Frames();
    uint32_t* pixels = frames.Buffer(plat::FrameMailbox::kFirstProducerBuffer);
    std::fill(pixels, pixels + 1024 * 768, 0xFF0000u);
    frames.Publish(plat::FrameMailbox::kFirstProducerBuffer);
    ASSERT_TRUE(screen->PresentLatest());
    XSync(d, False);
    EXPECT_EQ(RootPixel(d, 320, 512), 0xFF0000u);
    for (const auto& [px, py] : {std::pair{900, 500}, std::pair{901, 500}, std::pair{1279, 1023}})
        EXPECT_EQ(RootPixel(d, px, py), 0u) << px << "," << py;

    plat::Application& app = plat::App();
    int moves = 0;
    app.OnMouseMove = [&moves](int, int) { ++moves; };
    XWarpPointer(d, None, root, 0, 0, 0, 0, 1000, 500);
    XWarpPointer(d, None, root, 0, 0, 0, 0, 1100, 600);
    XSync(d, False);
    for (int i = 0; i < 50 && moves == 0; ++i) {
        app.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    app.OnMouseMove = nullptr;
    EXPECT_GT(moves, 0) << "the pointer over the cover does not reach the application";

    screen->Close();
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(RootPixel(d, 900, 500), 0xFFFFFFu) << "the cover stays after the saver closed";
    XSetWindowBackground(d, root, 0);
    XClearWindow(d, root);
    XCloseDisplay(d);
    setenv("SDL_VIDEODRIVER", runnerDriver.c_str(), 1);
}

}  // namespace
