// The settings store against the key's file as people leave it: a megabyte of values that every
// saver start loads, a file made read-only, a file with other rights, another user's file, and a
// key file that is a link. A reset (no "Brightness") is made on the key's own file only, keeping
// the old one as ".bad"; anything else is refused with a message and nothing is changed or lost.
#include "engine/KssSettings.h"

#include "tests/platform/registry/TempConfigHome.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class KssSettingsFileTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        Settings.SetBrandName("Kestrin Software");
        Settings.SetSSName("Solvane Screensaver");
    }
    // Runs SetRegistry and returns what it wrote on standard error.
    std::string Load()
    {
        ::testing::internal::CaptureStderr();
        Settings.SetRegistry();
        return ::testing::internal::GetCapturedStderr();
    }
    static mode_t ModeOf(const std::string& Path)
    {
        struct stat St {};
        return ::lstat(Path.c_str(), &St) == 0 ? St.st_mode & 07777 : 0;
    }
    // The reason a save gives, "" when it saved.
    std::string SaveReason()
    {
        try {
            Settings.WriteValues({{"Brightness", 100}});
        } catch (const ERegistryException& Error) {
            return Error.what();
        }
        return {};
    }

    TKssSettings Settings;
};

const std::string kByHand = "\"SoundVolume\"=dword:00000010\n\"ShowTime\"=dword:00000001\n";

// A megabyte of 40,000 values around the twelve: each is found, and a save keeps them all.
TEST_F(KssSettingsFileTest, AMegabyteKeyLoadsEveryValue)
{
    std::string Lines = "\"Brightness\"=dword:00000021\n\"SoundVolume\"=dword:00000042\n\"PORT\"=\"3128\"\n";
    char Line[32];
    for (int I = 0; I < 40000; ++I)
        Lines.append(Line, std::snprintf(Line, sizeof Line, "\"Vx%05d\"=dword:%08x\n", I, I));
    WriteKey(Lines +
             "\"ShowTime\"=dword:1\n\"ShowWeather\"=dword:0\n\"ShowNews\"=dword:1\n"
             "\"ShowBlack\"=dword:0\n\"UseProxy\"=dword:0\n");
    ASSERT_GT(ReadFile(KeyFile()).size(), 1000000u);
    EXPECT_EQ(Load(), "");
    EXPECT_EQ(Settings.GetVolume(), 0x42);
    EXPECT_EQ(Settings.GetShowNews(), 1);
    EXPECT_EQ(Settings.GetPort(), "3128");  // names match without regard to case
    EXPECT_EQ(SaveReason(), "");
    EXPECT_NE(ReadFile(KeyFile()).find("\"Vx39999\"=dword:00009c3f\n"), std::string::npos);
}

// A key filled by hand without "Brightness" is reset; the old file stays beside it as ".bad", and
// both keep the rights the user gave the file. A read-only file and another user's file are not
// replaced: the saver runs on the defaults and says why, the dialog's save names file and reason.
TEST_F(KssSettingsFileTest, AResetKeepsTheOldFileAndNothingElseIsReplaced)
{
    WriteKey(kByHand);
    const std::string Before = ReadFile(KeyFile());
    ASSERT_EQ(::chmod(KeyFile().c_str(), 0640), 0);
    EXPECT_EQ(Load(), KeyFile() + ": kept as " + KeyFile() + ".bad\n");
    EXPECT_EQ(ReadFile(KeyFile() + ".bad"), Before);
    EXPECT_NE(ReadFile(KeyFile()).find("\"Brightness\"=dword:00000100\n"), std::string::npos);
    EXPECT_EQ(ModeOf(KeyFile()), 0640u);
    EXPECT_EQ(ModeOf(KeyFile() + ".bad"), 0640u);

    WriteKey(kByHand);
    ASSERT_EQ(::chmod(KeyFile().c_str(), 0444), 0);
    const std::string Said = Load();
    EXPECT_EQ(Said, "The settings were not saved.\n\n" + KeyFile() + ": it is read-only.\n");
    EXPECT_EQ(Settings.GetRGB(), 256);
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    EXPECT_EQ(ModeOf(KeyFile()), 0444u);
    EXPECT_FALSE(std::filesystem::exists(KeyFile() + ".bad.1"));
    EXPECT_EQ(SaveReason(), Said.substr(0, Said.size() - 1));

    ASSERT_EQ(::chmod(KeyFile().c_str(), 0600), 0);
    if (::chown(KeyFile().c_str(), 65534, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "another user's file needs root to make";
    EXPECT_EQ(SaveReason(),
              "The settings were not saved.\n\n" + KeyFile() + ": it belongs to another user (user id 65534).");
    EXPECT_EQ(ReadFile(KeyFile()), Before);
}

// A key file linked to a file that holds no settings, or to a key without "Brightness": neither
// the link nor the file it leads to is moved or replaced.
TEST_F(KssSettingsFileTest, ALinkedFileIsNeverResetOrMoved)
{
    const std::string Notes = Root() + "/notes.txt";
    WriteFile(Notes, "my notes\n");
    std::filesystem::create_directories(Root() + "/Kestrin Software");
    std::filesystem::create_symlink(Notes, KeyFile());
    const std::string Said = Load();
    EXPECT_NE(Said.find("The settings were not saved.\n\n" + KeyFile() + ": it is a link to " + Notes +
                        ", which holds no settings this program reads; both are left as they are.\n"),
              std::string::npos)
        << Said;
    EXPECT_NE(SaveReason(), "");

    const std::string Kept = Root() + "/dotfiles/saver.reg";
    WriteFile(Kept, "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver]\n" + kByHand);
    std::filesystem::remove(KeyFile());
    std::filesystem::create_symlink(Kept, KeyFile());
    EXPECT_EQ(
        Load(),
        "The settings were not saved.\n\n" + Kept +
            ": it is reached through a link, and only a settings file of its own is reset; it is left as it is.\n");
    EXPECT_FALSE(std::filesystem::exists(Notes + ".bad") || std::filesystem::exists(Kept + ".bad"));
    EXPECT_EQ(ReadFile(Notes), "my notes\n");
    EXPECT_TRUE(std::filesystem::is_symlink(KeyFile()));
    EXPECT_EQ(ReadFile(KeyFile()).find("Brightness"), std::string::npos);
}

}  // namespace
