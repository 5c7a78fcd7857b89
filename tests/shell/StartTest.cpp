// The daemon's ways of starting the saver, and that the saver's own mode switches win over them.
#include "shell/HackStart.h"

#include <gtest/gtest.h>

using shell::HackStartOf;
using shell::THackStart;

TEST(HackStartTest, SwitchesAndVariable)
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
        {{"/p", "17"}, "0x400001", false, 0, false},
        {{"-c", "--root"}, nullptr, false, 0, false},
        {{"/a", "-window-id", "zz"}, nullptr, false, 0, false},
    };
    for (const Case& c : cases) {
        const THackStart start = HackStartOf(c.Args, c.Variable);
        const std::string what = ::testing::PrintToString(c.Args);
        EXPECT_EQ(start.Hack, c.Hack) << what;
        EXPECT_EQ(start.Window, c.Window) << what;
        EXPECT_EQ(start.NoMusic, c.NoMusic) << what;
    }
}

TEST(HackStartTest, BadWindowIdsNameTheSwitch)
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
    };
    for (const Case& c : cases) {
        try {
            HackStartOf(c.Args, c.Variable);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(c.Args);
        } catch (const shell::EBadHackStart& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}
