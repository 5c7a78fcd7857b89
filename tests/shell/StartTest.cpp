// The command line read into the start record: the daemon's ways of starting the saver, that the
// saver's own mode switches win over them, the owners' window ids and the idle watcher's seconds.
#include "shell/Start.h"

#include <gtest/gtest.h>

using shell::StartOf;
using shell::TStart;

TEST(StartTest, SwitchesAndVariable)
{
    struct Case {
        std::vector<std::string> Args;
        const char* Variable;
        bool Hack;
        unsigned long Window;
        bool NoMusic;
    };
    const Case cases[] = {
        {{}, nullptr, false, 0, false},
        {{"/s"}, nullptr, false, 0, false},
        {{"-window-id", "0x1a00003"}, nullptr, true, 0x1a00003, false},
        {{"--window-id", "4711", "--no-music"}, nullptr, true, 4711, true},
        {{"-root"}, nullptr, true, 0, false},
        {{"--root"}, "0x400001", true, 0x400001, false},
        {{"-window-id", "99"}, "0x400001", true, 99, false},
        {{}, "0x400001", true, 0x400001, false},
        {{"/s", "--no-music"}, "", false, 0, true},
        {{"/p", "17"}, "0x400001", false, 17, false},
        {{"-c", "--root"}, nullptr, false, 0, false},
        {{"/a", "12", "-window-id", "zz"}, nullptr, false, 12, false},
        {{"/p", "0x1a00003"}, nullptr, false, 0x1a00003, false},
        {{"-A", "4711"}, nullptr, false, 4711, false},
    };
    for (const Case& c : cases) {
        const TStart start = StartOf(c.Args, c.Variable);
        EXPECT_EQ(start.Fault, "") << ::testing::PrintToString(c.Args);
        const std::string what = ::testing::PrintToString(c.Args);
        EXPECT_EQ(start.Hack, c.Hack) << what;
        EXPECT_EQ(start.Window, c.Window) << what;
        EXPECT_EQ(start.NoMusic, c.NoMusic) << what;
    }
}

TEST(StartTest, BadWindowIdsAndSecondsAreFaults)
{
    struct Case {
        std::vector<std::string> Args;
        const char* Variable;
        const char* Message;
    };
    const Case cases[] = {
        {{"-window-id"}, nullptr, "-window-id: the window id is missing"},
        {{"--window-id", "0x"}, nullptr, "--window-id: '0x' is not a window id"},
        {{"--window-id", "12ab"}, nullptr, "'12ab' is not a window id"},
        {{"-window-id", "-5"}, nullptr, "'-5' is not a window id"},
        {{"-window-id", "0"}, nullptr, "'0' is not a window id"},
        {{"-window-id", "0x100000000"}, nullptr, "'0x100000000' is not a window id"},
        {{}, "root", "XSCREENSAVER_WINDOW: 'root' is not a window id"},
        {{"/p", "abc"}, nullptr, "'abc' is not a valid integer value"},
        {{"/p", "-1"}, nullptr, "'-1' is not a valid integer value"},
        {{"/a"}, nullptr, "'' is not a valid integer value"},
        {{"--idle", "0"}, nullptr, "--idle: '0' is not a number of seconds from 1 to 7200"},
        {{"--idle", "7201"}, nullptr, "'7201' is not a number of seconds"},
    };
    for (const Case& c : cases)
        EXPECT_NE(StartOf(c.Args, c.Variable).Fault.find(c.Message), std::string::npos)
            << ::testing::PrintToString(c.Args) << ": " << StartOf(c.Args, c.Variable).Fault;
}

TEST(StartTest, IdleWatcherIsNoScreensaverMode)
{
    EXPECT_FALSE(StartOf({"--idle"}, nullptr).Fault.size());
    EXPECT_EQ(StartOf({"--idle"}, "0x400001").IdleSeconds, 0);
    EXPECT_EQ(StartOf({"--idle", "90"}, "0x400001").IdleSeconds, 90);
    EXPECT_TRUE(StartOf({"--idle", "90"}, "0x400001").IdleWatcher);
    EXPECT_FALSE(StartOf({"--idle", "90"}, "0x400001").Hack);
    EXPECT_FALSE(StartOf({"-idle"}, nullptr).IdleWatcher);
}
