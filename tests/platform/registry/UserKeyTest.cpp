// The per-user key's file backend: where the file lives, its rights, what a reader of a damaged
// file sees, and how a writer keeps the damaged file.
#include "platform/registry/UserKey.h"

#include "platform/registry/RegistryException.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

namespace {

using plat::UserKey;

const std::string kPath = "SOFTWARE\\Kestrin Software\\Solvane Screensaver";

class UserKeyTest : public TempConfigHome {};

mode_t ModeOf(const std::string& Path)
{
    struct stat St {};
    EXPECT_EQ(::stat(Path.c_str(), &St), 0) << Path;
    return St.st_mode & 07777;
}

TEST_F(UserKeyTest, CreateMakesPrivateFolderAndFile)
{
    {
        const auto Key = UserKey::Create(kPath);
        ASSERT_NE(Key, nullptr);
        Key->WriteInteger("Brightness", 256);
    }
    EXPECT_EQ(ModeOf(Root() + "/Kestrin Software"), 0700u);
    EXPECT_EQ(ModeOf(KeyFile()), 0600u);
    EXPECT_EQ(ReadFile(KeyFile()),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver]\n"
              "\"Brightness\"=dword:00000100\n\n");
}

TEST_F(UserKeyTest, ConfigFolderIsMadeWhenMissing)
{
    const std::string Nested = Root() + "/not/yet";
    ::setenv("XDG_CONFIG_HOME", Nested.c_str(), 1);
    const auto Key = UserKey::Create(kPath);
    ASSERT_NE(Key, nullptr);
    Key->WriteString("TDegree", "c");
    const std::string Text = ReadFile(Nested + "/Kestrin Software/Solvane Screensaver.reg");
    EXPECT_NE(Text.find("\"TDegree\"=\"c\"\n"), std::string::npos);
    EXPECT_EQ(ModeOf(Nested), 0700u);
}

TEST_F(UserKeyTest, RelativeConfigHomeFallsBackToHome)
{
    const char* OldHome = std::getenv("HOME");
    const std::string SavedHome = OldHome ? OldHome : "";
    ::setenv("HOME", Root().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    {
        const auto Key = UserKey::Create(kPath);
        ASSERT_NE(Key, nullptr);
        Key->WriteInteger("Brightness", 1);
    }
    ::setenv("HOME", SavedHome.c_str(), 1);
    EXPECT_EQ(ModeOf(Root() + "/.config/Kestrin Software/Solvane Screensaver.reg"), 0600u);
}

TEST_F(UserKeyTest, OpenNeverCreates)
{
    EXPECT_EQ(UserKey::Open(kPath), nullptr);
    EXPECT_FALSE(std::filesystem::exists(Root() + "/Kestrin Software"));
}

TEST_F(UserKeyTest, PathsThatWouldLeaveTheConfigFolderAreRefused)
{
    for (const std::string Path : {"SOFTWARE\\..\\escape", "SOFTWARE\\a/b\\c", "SOFTWARE\\a\\..", "SOFTWARE\\\\x",
                                   "SOFTWARE", "SYSTEM\\x\\y", ""}) {
        EXPECT_EQ(UserKey::Create(Path), nullptr) << Path;
        EXPECT_EQ(UserKey::Open(Path), nullptr) << Path;
    }
    EXPECT_TRUE(std::filesystem::is_empty(Root()));
}

TEST_F(UserKeyTest, ReaderOfDamagedFileNamesFileAndLineAndSeesNoKey)
{
    WriteKey("\"Brightness\"=dword:00000100\n\"TDegree\"=\"f\n");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(UserKey::Open(kPath), nullptr);
    const std::string Err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(Err.find(KeyFile() + ":5: "), std::string::npos) << Err;
    EXPECT_FALSE(std::filesystem::exists(KeyFile() + ".bad")) << "a reader moved the file";
}

TEST_F(UserKeyTest, WriterKeepsEachDamagedFileUnderItsOwnName)
{
    for (const std::string Damage : {"first damage", "second damage", ""}) {
        WriteFile(KeyFile(), Damage);
        ::testing::internal::CaptureStderr();
        const auto Key = UserKey::Create(kPath);
        ::testing::internal::GetCapturedStderr();
        ASSERT_NE(Key, nullptr);
        EXPECT_FALSE(Key->ValueExists("Brightness"));
        Key->WriteInteger("Brightness", 7);
    }
    EXPECT_EQ(ReadFile(KeyFile() + ".bad"), "first damage");
    EXPECT_EQ(ReadFile(KeyFile() + ".bad.1"), "second damage");
    EXPECT_EQ(ReadFile(KeyFile() + ".bad.2"), "");
    EXPECT_EQ(UserKey::Open(kPath)->ReadInteger("Brightness"), 7);
}

TEST_F(UserKeyTest, LinkedKeyFileStaysLinked)
{
    const std::string Elsewhere = Root() + "/dotfiles/saver.reg";
    WriteFile(Elsewhere,
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\"
              "Solvane Screensaver]\n\"Proxy\"=\"p\"\n");
    std::filesystem::create_directories(Root() + "/Kestrin Software");
    std::filesystem::create_symlink(Elsewhere, KeyFile());
    {
        const auto Key = UserKey::Create(kPath);
        ASSERT_NE(Key, nullptr);
        Key->WriteInteger("Brightness", 9);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(KeyFile()));
    EXPECT_NE(ReadFile(Elsewhere).find("\"Brightness\"=dword:00000009\n"), std::string::npos);
    EXPECT_EQ(UserKey::Open(kPath)->ReadString("Proxy"), "p");
}

TEST_F(UserKeyTest, PipeInPlaceOfTheFileDoesNotHang)
{
    std::filesystem::create_directories(Root() + "/Kestrin Software");
    ASSERT_EQ(::mkfifo(KeyFile().c_str(), 0600), 0);
    EXPECT_EQ(UserKey::Open(kPath), nullptr);
    EXPECT_EQ(UserKey::Create(kPath), nullptr);
}

TEST_F(UserKeyTest, OversizedFileIsDamageNotARead)
{
    WriteKey("\"Pad\"=\"" + std::string(2 << 20, 'x') + "\"\n");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(UserKey::Open(kPath), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(KeyFile()), std::string::npos);
}

TEST_F(UserKeyTest, OtherTypesSurviveAWriteOfAnotherValue)
{
    WriteKey("\"List\"=hex(7):61,00,62,00,00,00\n\"Path\"=hex(2):25,48,25,00\n");
    {
        const auto Key = UserKey::Create(kPath);
        ASSERT_NE(Key, nullptr);
        Key->WriteInteger("Brightness", 3);
    }
    const auto Key = UserKey::Open(kPath);
    ASSERT_NE(Key, nullptr);
    EXPECT_EQ(Key->ReadString("Path"), "%H%");
    EXPECT_THROW(Key->ReadString("List"), plat::ERegistryException);
    EXPECT_NE(ReadFile(KeyFile()).find("\"List\"=hex(7):61,00,62,00,00,00\n"), std::string::npos);
}

TEST_F(UserKeyTest, IntegerReadErrorsFollowTheDataSize)
{
    WriteKey("\"Short\"=\"ab\"\n\"Long\"=\"abcd\"\n\"Bytes\"=hex:01,02\n"
             "\"Wide\"=hex(4):01,02,03,04,05\n");
    const auto Key = UserKey::Open(kPath);
    ASSERT_NE(Key, nullptr);
    auto MessageOf = [&](const std::string& Name) {
        try {
            Key->ReadInteger(Name);
        } catch (const plat::ERegistryException& E) {
            return std::string(E.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(MessageOf("Short"), "Invalid data type for 'Short'");
    EXPECT_EQ(MessageOf("Long"), "Failed to get data for 'Long'");
    EXPECT_EQ(MessageOf("Bytes"), "Invalid data type for 'Bytes'");
    EXPECT_EQ(MessageOf("Wide"), "Failed to get data for 'Wide'");
    EXPECT_EQ(MessageOf("Missing"), "Failed to get data for 'Missing'");
}

TEST_F(UserKeyTest, UnwritableValueNameRaisesAndLeavesTheFile)
{
    const auto Key = UserKey::Create(kPath);
    ASSERT_NE(Key, nullptr);
    Key->WriteInteger("Brightness", 1);
    const std::string Before = ReadFile(KeyFile());
    EXPECT_THROW(Key->WriteInteger("Two\nLines", 1), plat::ERegistryException);
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    EXPECT_FALSE(Key->ValueExists("Two\nLines"));
}

TEST_F(UserKeyTest, UpdateStoresItsWritesTogether)
{
    const auto Key = UserKey::Create(kPath);
    ASSERT_NE(Key, nullptr);
    Key->BeginUpdate();
    Key->WriteInteger("Brightness", 1);
    Key->WriteString("Proxy", "p");
    EXPECT_FALSE(std::filesystem::exists(KeyFile()));
    Key->EndUpdate();
    const auto Stored = UserKey::Open(kPath);
    ASSERT_NE(Stored, nullptr);
    EXPECT_EQ(Stored->ReadInteger("Brightness"), 1);
    EXPECT_EQ(Stored->ReadString("Proxy"), "p");
}

TEST_F(UserKeyTest, ReadOnlyKeyRefusesWrites)
{
    WriteKey("\"Brightness\"=dword:00000001\n");
    const auto Key = UserKey::Open(kPath);
    ASSERT_NE(Key, nullptr);
    EXPECT_THROW(Key->WriteInteger("Brightness", 2), plat::ERegistryException);
}

}  // namespace

TEST_F(UserKeyTest, WriterGivesUpOnALockHeldElsewhereAfterABoundedWait)
{
    std::filesystem::create_directories(Root() + "/Kestrin Software");
    // A separate open file: its lock stands for another process's.
    const int Held = ::open((KeyFile() + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(Held, LOCK_EX), 0);
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_EQ(UserKey::Create(kPath), nullptr);
    const auto Waited = std::chrono::steady_clock::now() - Start;
    EXPECT_GE(Waited, std::chrono::milliseconds(1900));
    EXPECT_LT(Waited, std::chrono::milliseconds(3000));
    ::close(Held);
    EXPECT_NE(UserKey::Create(kPath), nullptr);
}
