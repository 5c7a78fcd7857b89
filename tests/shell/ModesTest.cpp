// The command line's mode table and the password change's reports.
#include "shell/Modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using shell::ModeOf;
using shell::TSaverMode;

TEST(ModesTest, SaverForNoShortOrUnknownSwitches)
{
    for (const char* arg : {"", "s", "P", "c", "/s", "-S", "/SAVER", "/x", "-z", "//p", "--c", "/"})
        EXPECT_EQ(ModeOf(arg), TSaverMode::Saver) << "'" << arg << "'";
}

TEST(ModesTest, ConfigurationIgnoresWhatFollowsTheLetter)
{
    for (const char* arg : {"/c", "-c", "/C:4711", "/configure", "c:"})
        EXPECT_EQ(ModeOf(arg), TSaverMode::Configuration) << arg;
}

TEST(ModesTest, PreviewAndPasswordInEitherCaseAndPrefix)
{
    EXPECT_EQ(ModeOf("/p"), TSaverMode::Preview);
    EXPECT_EQ(ModeOf("-P"), TSaverMode::Preview);
    EXPECT_EQ(ModeOf("pX"), TSaverMode::Preview);  // No prefix: the first letter still counts.
    EXPECT_EQ(ModeOf("/a"), TSaverMode::Password);
    EXPECT_EQ(ModeOf("-A"), TSaverMode::Password);
    EXPECT_EQ(ModeOf("-/a"), TSaverMode::Saver);  // Only one prefix character is removed.
}

namespace {

struct Shown {
    std::vector<std::string> Texts;
    std::vector<std::string> Captions;
    shell::TMessageSink Sink()
    {
        return [this](const std::string& Text, const std::string& Caption) {
            Texts.push_back(Text);
            Captions.push_back(Caption);
        };
    }
};

}  // namespace

TEST(ModesTest, PasswordChangeWithoutTheLibraryReportsIt)
{
    Shown shown;
    shell::RunPasswordChange(1234, "MPR.DLL", shown.Sink());
    EXPECT_EQ(shown.Texts, std::vector<std::string>{"MPR.DLL not found: cannot change password."});
    EXPECT_EQ(shown.Captions, std::vector<std::string>{"Screen saver"});
}

TEST(ModesTest, PasswordChangeWithoutTheExportReportsIt)
{
    Shown shown;
    shell::RunPasswordChange(1234, "libc.so.6", shown.Sink());
    EXPECT_EQ(shown.Texts, std::vector<std::string>{"PwdChangeProc not found: cannot change password"});
    EXPECT_EQ(shown.Captions, std::vector<std::string>{"Screen saver"});
}
