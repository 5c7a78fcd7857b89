// Whether anybody can see an X window, on a real X server (the tests' Xvfb): a window mapped over
// it hides it, one over a part of it does not, and unmapping it hides it too. Its watcher thread
// runs beside the test's (tools/tsan.sh).
#include "platform/x11/WindowSight.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool Becomes(const plat::WindowSight& Sight, bool Seen)
{
    for (int i = 0; i < 200 && Sight.Seen() != Seen; ++i)
        std::this_thread::sleep_for(10ms);
    return Sight.Seen() == Seen;
}

}  // namespace

TEST(WindowSightTest, CoveredOrUnmappedIsUnseen)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr)
        GTEST_SKIP() << "no X display";
    const Window root = DefaultRootWindow(d);
    const Window window = XCreateSimpleWindow(d, root, 10, 10, 200, 200, 0, 0, 0);
    XMapWindow(d, window);
    XSync(d, False);
    std::atomic<int> told{0};
    {
        plat::WindowSight sight(DisplayString(d), static_cast<uint32_t>(window), [&] { ++told; });
        EXPECT_TRUE(Becomes(sight, true));

        const Window part = XCreateSimpleWindow(d, root, 0, 0, 100, 100, 0, 0, 0);
        XMapRaised(d, part);
        const Window whole = XCreateSimpleWindow(d, root, 0, 0, 400, 400, 0, 0, 0);
        XSync(d, False);
        std::this_thread::sleep_for(200ms);
        EXPECT_TRUE(sight.Seen()) << "a window over a part of it hid it";
        XMapRaised(d, whole);
        XSync(d, False);
        EXPECT_TRUE(Becomes(sight, false)) << "covered whole";
        XUnmapWindow(d, whole);
        XSync(d, False);
        EXPECT_TRUE(Becomes(sight, true)) << "uncovered";

        XUnmapWindow(d, window);
        XSync(d, False);
        EXPECT_TRUE(Becomes(sight, false)) << "unmapped";
        XMapWindow(d, window);
        XSync(d, False);
        EXPECT_TRUE(Becomes(sight, true)) << "mapped again";
        EXPECT_EQ(told.load(), 4);
    }
    XCloseDisplay(d);
}
