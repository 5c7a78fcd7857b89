// The full-screen saver lets the desktop's screensaver run: while it runs without input, the X
// server's idle time keeps growing and its screensaver comes on (nothing suspends or resets it),
// and no inhibit request reaches the session bus (a private one, watched with dbus-monitor; a
// request sent by the test itself shows the watch works).
#include "tests/platform/registry/TempConfigHome.h"
#include "tests/shell/ChildProcess.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <signal.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testproc::ChildProcess;
using testproc::RunCommand;

class NoInhibitTest : public TempConfigHome {};

TEST_F(NoInhibitTest, SaverNeitherResetsTheXScreensaverNorInhibitsOnTheBus)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display for end-to-end tests";
    testproc::PrivateXServer x;
    ASSERT_FALSE(x.Display().empty());
    const std::string bus = RunCommand("dbus-daemon --session --fork --print-address=1 --print-pid=1");
    const size_t newline = bus.find('\n');
    ASSERT_NE(newline, std::string::npos) << "no session bus: " << bus;
    const std::string address = bus.substr(0, newline);
    const pid_t busPid = std::stoi(bus.substr(newline + 1));
    const std::string log = Root() + "/bus.log";
    ChildProcess monitor({"/bin/sh", "-c", "exec dbus-monitor --address '" + address + "' > '" + log + "'"}, {});
    // The monitor logs the name the bus gives it once it listens.
    ASSERT_TRUE(testproc::PollUntil([&] { return ReadFile(log).find("NameAcquired") != std::string::npos; }, 10s));

    Display* d = XOpenDisplay(x.Display().c_str());
    ASSERT_NE(d, nullptr);
    XSetScreenSaver(d, 2, 0, PreferBlanking, AllowExposures);  // on after 2 s without input
    XSync(d, False);
    ChildProcess::Environment env{{"DISPLAY", x.Display()},    {"XDG_CONFIG_HOME", Root()},
                                  {"XDG_RUNTIME_DIR", Root()}, {"DBUS_SESSION_BUS_ADDRESS", address},
                                  {"SDL_VIDEODRIVER", "x11"},  {"ASAN_OPTIONS", "detect_leaks=0"}};
    ChildProcess saver({SOLVANE_BINARY_DIR "/solvane", "/s"}, env);
    // The server's own saver comes on 2 s after the last input, unless the saver resets it; once
    // on, a further second of idleness tells a reset that came late apart.
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    testproc::PollUntil(
        [&] {
            return XScreenSaverQueryInfo(d, DefaultRootWindow(d), info) && info->state == ScreenSaverOn &&
                info->idle >= 3000u;
        },
        15s);
    ASSERT_TRUE(XScreenSaverQueryInfo(d, DefaultRootWindow(d), info));
    EXPECT_TRUE(saver.Running()) << saver.StdErr();
    EXPECT_EQ(info->state, ScreenSaverOn) << "idle " << info->idle << " ms";
    EXPECT_GE(info->idle, 3000u);
    XFree(info);
    XCloseDisplay(d);
    x.Run("xdotool key Escape");
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();

    RunCommand("dbus-send --address='" + address +
               "' --type=method_call --dest=org.freedesktop.ScreenSaver "
               "/org/freedesktop/ScreenSaver org.freedesktop.ScreenSaver.Inhibit string:test string:control");
    // The test's own request reaching the monitor's log marks everything before it as logged.
    EXPECT_TRUE(testproc::PollUntil([&] { return ReadFile(log).find("member=Inhibit") != std::string::npos; }, 10s));
    kill(monitor.Pid(), SIGTERM);
    monitor.WaitExit(5s);
    kill(busPid, SIGTERM);
    const std::string text = ReadFile(log);
    int inhibits = 0;
    for (size_t at = text.find("member=Inhibit"); at != std::string::npos; at = text.find("member=Inhibit", at + 1))
        ++inhibits;
    EXPECT_EQ(inhibits, 1) << "only the test's own request may show:\n" << text;
}

}  // namespace
