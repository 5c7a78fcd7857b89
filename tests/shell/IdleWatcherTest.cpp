// `solvane --idle` run as a program on a private Xvfb server, with a private session bus where a
// test needs one: its refusals, what it maps while waiting, the saver it starts after the X
// server's idle time and again after Escape, and what holds the saver off: a client suspending the
// X server's screensaver, inhibitions sent to the org.freedesktop.ScreenSaver it serves (dropped
// when their caller leaves the bus), and a desktop's own screensaver that says it is active.
#include "tests/shell/ChildProcess.h"
#include "tests/shell/PrivateSaverRun.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testproc::ChildProcess;
using testproc::PollUntil;
using testproc::RunCommand;

constexpr const char* kPeer = SOLVANE_SOURCE_DIR "/tests/shell/screensaver_peer.py";

class IdleWatcherTest : public PrivateSaverRun {
protected:
    void SetUp() override
    {
        PrivateSaverRun::SetUp();
        // The private X server only: never the tester's own Wayland session or session bus (nor the
        // offscreen driver of the in-process tests).
        Env["WAYLAND_DISPLAY"] = "";
        Env["DBUS_SESSION_BUS_ADDRESS"] = "";
        Env["SDL_VIDEODRIVER"] = "x11";
    }

    std::unique_ptr<ChildProcess> Watch(const std::string& Seconds)
    {
        std::vector<std::string> args{SOLVANE_BINARY_DIR "/solvane", "--idle"};
        if (!Seconds.empty())
            args.push_back(Seconds);
        auto watcher = std::make_unique<ChildProcess>(args, Env);
        EXPECT_TRUE(
            PollUntil([&] { return watcher->StdErr().find("the saver starts after") != std::string::npos; }, 20s))
            << watcher->StdErr();
        return watcher;
    }

    // The watcher's saver (its child), or 0.
    static pid_t SaverOf(ChildProcess& Watcher)
    {
        const std::string path = "/proc/" + std::to_string(Watcher.Pid()) + "/task/" + std::to_string(Watcher.Pid());
        pid_t child = 0;
        std::ifstream(path + "/children") >> child;
        return child;
    }

    // No saver for Seconds, then one within the idle time and start-up once Release ran.
    void HeldOffThenStarted(ChildProcess& Watcher, const std::function<void()>& Release)
    {
        EXPECT_FALSE(PollUntil([&] { return SaverOf(Watcher) != 0; }, 5s)) << "the saver came while held off";
        Release();
        EXPECT_TRUE(PollUntil([&] { return SaverOf(Watcher) != 0; }, 15s)) << Watcher.StdErr();
    }

    // Starts a session bus of the test's own; its address goes into Env.
    void StartBus()
    {
        const std::string bus = RunCommand("dbus-daemon --session --fork --print-address=1 --print-pid=1");
        const size_t newline = bus.find('\n');
        ASSERT_NE(newline, std::string::npos) << "no session bus: " << bus;
        Env["DBUS_SESSION_BUS_ADDRESS"] = bus.substr(0, newline);
        BusPid = std::stoi(bus.substr(newline + 1));
    }

    // gdbus's answer to a call of Method (with Arguments) at Path of Name on the test's bus.
    std::string Bus(const std::string& Name, const std::string& Path, const std::string& Method,
                    const std::string& Arguments = "") const
    {
        return RunCommand("gdbus call --address '" + Env.at("DBUS_SESSION_BUS_ADDRESS") + "' -d " + Name + " -o " +
                          Path + " -m " + Method + " " + Arguments + " 2>&1");
    }

    std::string ScreenSaver(const std::string& Method, const std::string& Arguments = "") const
    {
        return Bus("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                   "org.freedesktop.ScreenSaver." + Method, Arguments);
    }

    void TearDown() override
    {
        if (BusPid > 0)
            kill(BusPid, SIGTERM);
        PrivateSaverRun::TearDown();
    }

    pid_t BusPid = 0;
};

TEST_F(IdleWatcherTest, RefusesWithoutADisplayOrAnIdleTime)
{
    for (const char* seconds : {"0", "7201", "ten"}) {
        ChildProcess watcher({SOLVANE_BINARY_DIR "/solvane", "--idle", seconds}, Env);
        EXPECT_EQ(watcher.WaitExit(10s), 1) << seconds;
        EXPECT_NE(watcher.StdErr().find("is not a number of seconds from 1 to 7200"), std::string::npos)
            << watcher.StdErr();
    }
    Env["DISPLAY"] = "";
    Env["WAYLAND_DISPLAY"] = "";
    ChildProcess watcher({SOLVANE_BINARY_DIR "/solvane", "--idle", "60"}, Env);
    EXPECT_EQ(watcher.WaitExit(10s), 1);
    EXPECT_NE(watcher.StdErr().find("--idle needs a desktop session"), std::string::npos) << watcher.StdErr();
}

// Waiting maps none of the saver's or the dialog's stack; one watcher per session; SIGTERM ends
// it, gives the X server its own screensaver timeout back and frees the session for the next.
TEST_F(IdleWatcherTest, WaitsLightlyAndAloneAndEndsWhenAsked)
{
    Display* d = XOpenDisplay(X->Display().c_str());
    ASSERT_NE(d, nullptr);
    XSetScreenSaver(d, 900, 600, PreferBlanking, AllowExposures);
    XSync(d, False);
    auto watcher = Watch("600");
    EXPECT_NE(watcher->StdErr().find("after 600 s without input (the X server's screensaver timer)"), std::string::npos)
        << watcher->StdErr();
    const std::string maps = TempConfigHome::ReadFile("/proc/" + std::to_string(watcher->Pid()) + "/maps");
    for (const char* library : {"libQt6", "libSDL2", "solvane-saver.so", "solvane-dialog.so"})
        EXPECT_EQ(maps.find(library), std::string::npos) << library << " is mapped while waiting";

    ChildProcess second({SOLVANE_BINARY_DIR "/solvane", "--idle", "600"}, Env);
    EXPECT_EQ(second.WaitExit(10s), 1);
    EXPECT_NE(second.StdErr().find("an idle watcher already runs in this session (process " +
                                   std::to_string(watcher->Pid()) + ")"),
              std::string::npos)
        << second.StdErr();

    kill(watcher->Pid(), SIGTERM);
    EXPECT_EQ(watcher->WaitExit(5s), 0) << watcher->StdErr();
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(d, &timeout, &interval, &blanking, &exposures);
    EXPECT_EQ(timeout, 900);
    XCloseDisplay(d);
    EXPECT_NE(Watch("600")->StdErr().find("the saver starts after"), std::string::npos) << "the session stays taken";
}

TEST_F(IdleWatcherTest, TakesTheIdleTimeFromTheSettingsWithoutSeconds)
{
    WriteKey("\"IdleMinutes\"=dword:00000003\n");
    EXPECT_NE(Watch("")->StdErr().find("after 180 s"), std::string::npos);
    WriteKey("\"IdleMinutes\"=dword:00000079\n");  // 121: out of range, the default
    EXPECT_NE(Watch("")->StdErr().find("after 600 s"), std::string::npos);
}

// XScreenSaverSuspend (SDL without a session bus, mpv, games) holds the X server's timer off;
// resumed, the saver comes, Escape ends it, and the watcher starts it again after the idle time.
TEST_F(IdleWatcherTest, SuspendedScreensaverHoldsTheSaverOffUntilResumed)
{
    Display* d = XOpenDisplay(X->Display().c_str());
    ASSERT_NE(d, nullptr);
    XScreenSaverSuspend(d, True);
    XSync(d, False);
    auto watcher = Watch("2");
    HeldOffThenStarted(*watcher, [&] {
        XScreenSaverSuspend(d, False);
        XSync(d, False);
    });
    XCloseDisplay(d);
    ASSERT_FALSE(testproc::WaitForWindow(*X, SaverOf(*watcher), 20s).empty());
    X->Run("xdotool key Escape");
    EXPECT_TRUE(PollUntil([&] { return SaverOf(*watcher) == 0; }, 10s)) << "Escape did not end the saver";
    EXPECT_TRUE(watcher->Running());
    EXPECT_TRUE(PollUntil([&] { return SaverOf(*watcher) != 0; }, 15s)) << "no saver the second time";
}

// Served by the watcher where no desktop owns the name: simulated activity counts as input; an
// inhibition holds the saver off until UnInhibit; one whose caller left the bus holds nothing;
// GetActive tells whether the saver runs.
TEST_F(IdleWatcherTest, InhibitionsOnTheSessionBusHoldTheSaverOff)
{
    StartBus();
    auto watcher = Watch("2");
    for (int i = 0; i < 8; ++i) {
        ScreenSaver("SimulateUserActivity");
        std::this_thread::sleep_for(500ms);
    }
    EXPECT_EQ(SaverOf(*watcher), 0) << "simulated activity did not count";
    const std::string cookie = Root() + "/cookie", end = Root() + "/end";
    ChildProcess holder({"/usr/bin/python3", kPeer, "inhibit", Env.at("DBUS_SESSION_BUS_ADDRESS"), cookie, end}, Env);
    ASSERT_TRUE(PollUntil([&] { return !TempConfigHome::ReadFile(cookie).empty(); }, 10s)) << holder.StdErr();
    // gdbus leaves the bus at once: its inhibition ends with it.
    EXPECT_EQ(Bus("org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver.Inhibit", "gdbus gone")
                  .rfind("(uint32 ", 0),
              0u);
    EXPECT_EQ(ScreenSaver("GetActive"), "(false,)\n");
    HeldOffThenStarted(*watcher, [&] { ScreenSaver("UnInhibit", TempConfigHome::ReadFile(cookie)); });
    EXPECT_EQ(ScreenSaver("GetActive"), "(true,)\n");
    WriteFile(end, "");
    holder.WaitExit(5s);
}

// A desktop that owns the name keeps it: while its screensaver (its lock screen) is active, or its
// power manager holds the screen on for a program, no saver comes; once both are over, it does.
TEST_F(IdleWatcherTest, NoSaverWhileTheDesktopHoldsTheScreen)
{
    StartBus();
    const std::string active = Root() + "/active", inhibit = Root() + "/inhibit", end = Root() + "/end";
    WriteFile(active, "");
    ChildProcess desktop(
        {"/usr/bin/python3", kPeer, "desktop", Env.at("DBUS_SESSION_BUS_ADDRESS"), active, inhibit, end}, Env);
    ASSERT_TRUE(PollUntil(
        [&] {
            return Bus("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                       "org.freedesktop.ScreenSaver") == "(true,)\n";
        },
        10s));
    auto watcher = Watch("2");
    EXPECT_FALSE(PollUntil([&] { return SaverOf(*watcher) != 0; }, 5s)) << "a saver over the lock screen";
    WriteFile(inhibit, "");
    std::filesystem::remove(active);
    X->Run("xdotool mousemove_relative 1 1");  // unlocking is input; the idle time follows it
    HeldOffThenStarted(*watcher, [&] { std::filesystem::remove(inhibit); });
    WriteFile(end, "");
    desktop.WaitExit(5s);
}

// logind (a stand-in on a bus of the test's own that the watcher takes for the system bus) says
// the session is locked: no saver until it is unlocked.
TEST_F(IdleWatcherTest, NoSaverWhileLogindSaysTheSessionIsLocked)
{
    StartBus();
    Env["DBUS_SYSTEM_BUS_ADDRESS"] = Env.at("DBUS_SESSION_BUS_ADDRESS");
    Env["DBUS_SESSION_BUS_ADDRESS"] = "";
    const std::string locked = Root() + "/locked", end = Root() + "/end";
    WriteFile(locked, "");
    ChildProcess logind({"/usr/bin/python3", kPeer, "logind", Env.at("DBUS_SYSTEM_BUS_ADDRESS"), locked, end}, Env);
    ASSERT_TRUE(PollUntil(
        [&] {
            return RunCommand("gdbus call --address '" + Env.at("DBUS_SYSTEM_BUS_ADDRESS") +
                              "' -d org.freedesktop.DBus -o /org/freedesktop/DBus -m "
                              "org.freedesktop.DBus.NameHasOwner org.freedesktop.login1") == "(true,)\n";
        },
        10s));
    auto watcher = Watch("2");
    HeldOffThenStarted(*watcher, [&] {
        std::filesystem::remove(locked);
        X->Run("xdotool mousemove_relative 1 1");
    });
    WriteFile(end, "");
    logind.WaitExit(5s);
}

// Its display or its session bus going away is the session's end.
TEST_F(IdleWatcherTest, EndsWithItsSession)
{
    StartBus();
    auto watcher = Watch("600");
    kill(BusPid, SIGTERM);
    EXPECT_EQ(watcher->WaitExit(10s), 0);
    EXPECT_NE(watcher->StdErr().find("the session bus went away"), std::string::npos) << watcher->StdErr();
    BusPid = 0;
    Env["DBUS_SESSION_BUS_ADDRESS"] = "";
    watcher = Watch("600");
    X.reset();
    EXPECT_EQ(watcher->WaitExit(10s), 0);
    EXPECT_NE(watcher->StdErr().find("the session's display went away"), std::string::npos) << watcher->StdErr();
}

}  // namespace
