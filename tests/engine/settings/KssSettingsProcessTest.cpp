// The settings store between processes: a writer killed at any moment leaves the old or the new
// key and never a torn one, and two writers at once lose nothing.
#include "engine/KssSettings.h"

#include "platform/registry/UserKey.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A killed process, unlike a power cut, loses nothing that reached the page cache, so these tests
// do not need the disk: a memory-backed folder gives thousands of writes in a few seconds however
// busy the disk is.
std::string MemoryBackedBase()
{
    return std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
}

class KssSettingsProcessTest : public TempConfigHome {
protected:
    KssSettingsProcessTest() : TempConfigHome(MemoryBackedBase()) {}

    static TKssSettings Store()
    {
        TKssSettings Settings;
        Settings.SetBrandName("Kestrin Software");
        Settings.SetSSName("Solvane Screensaver");
        return Settings;
    }

    // Runs Body in a child process; the child ends with 0 when Body returns, 1 when it throws.
    template <typename Fn>
    static pid_t Spawn(Fn Body)
    {
        const pid_t Pid = ::fork();
        if (Pid == 0) {
            int Code = 0;
            try {
                Body();
            } catch (...) {
                Code = 1;
            }
            ::_exit(Code);
        }
        return Pid;
    }

    static int WaitFor(pid_t Pid)
    {
        int Status = 0;
        EXPECT_EQ(::waitpid(Pid, &Status, 0), Pid);
        return Status;
    }
};

// Each version of the value says which write it came from and is long enough that a torn file
// would cut through it; quotes and backslashes make it go through the escaping too.
std::string Version(int N)
{
    return std::to_string(N) + ":" + std::string(2000 + N % 7, static_cast<char>('a' + N % 26)) + "\"\\";
}

int VersionNumber(const std::string& Text)
{
    const int N = std::stoi(Text);
    return Text == Version(N) ? N : -1;
}

TEST_F(KssSettingsProcessTest, KilledWriterLeavesOldOrNewKey)
{
    TKssSettings Settings = Store();
    ASSERT_TRUE(Settings.WriteAKey("Fixed", "stays"));
    ASSERT_TRUE(Settings.WriteAKey("Seq", Version(0)));
    const unsigned Seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    std::uniform_int_distribution<int> Delay(0, 15000);

    int Last = 0, Rounds = 0;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((Last < 2000 || Rounds < 100) && std::chrono::steady_clock::now() < Deadline) {
        const int First = Last + 1;
        const pid_t Pid = Spawn([&] {
            for (int N = First;; ++N)
                Store().WriteAKey("Seq", Version(N));
        });
        ASSERT_GT(Pid, 0);
        ::usleep(static_cast<useconds_t>(Delay(Random)));
        ::kill(Pid, SIGKILL);
        const int Status = WaitFor(Pid);
        ASSERT_TRUE(WIFSIGNALED(Status)) << "the writer stopped by itself";

        const auto Key = plat::UserKey::Open("SOFTWARE\\Kestrin Software\\Solvane Screensaver");
        ASSERT_NE(Key, nullptr) << "round " << Rounds << ": the key file is torn";
        EXPECT_EQ(Key->ReadString("Fixed"), "stays");
        const int Now = VersionNumber(Key->ReadString("Seq"));
        ASSERT_GE(Now, Last) << "round " << Rounds << ": the value is torn or went back";
        Last = Now;
        ++Rounds;
    }
    EXPECT_FALSE(std::filesystem::exists(KeyFile() + ".bad"));
    EXPECT_GE(Rounds, 20);
    RecordProperty("writes", Last);
    RecordProperty("kills", Rounds);
}

TEST_F(KssSettingsProcessTest, KilledFirstStartLeavesNoKeyOrAWholeOne)
{
    const unsigned Seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    std::uniform_int_distribution<int> Delay(0, 3000);
    int Whole = 0, Rounds = 0;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (Rounds < 150 && std::chrono::steady_clock::now() < Deadline) {
        std::filesystem::remove(KeyFile());
        const pid_t Pid = Spawn([] { Store().SetRegistry(); });
        ASSERT_GT(Pid, 0);
        ::usleep(static_cast<useconds_t>(Delay(Random)));
        ::kill(Pid, SIGKILL);
        WaitFor(Pid);
        const auto Key = plat::UserKey::Open("SOFTWARE\\Kestrin Software\\Solvane Screensaver");
        if (Key) {
            for (const char* Name : {"Brightness", "SoundVolume", "TDegree", "WeatherCode", "RSS_Url", "ShowTime",
                                     "ShowWeather", "ShowNews", "ShowBlack", "UseProxy", "Proxy", "Port"})
                ASSERT_TRUE(Key->ValueExists(Name)) << "round " << Rounds << ": no " << Name;
            ++Whole;
        }
        TKssSettings Next = Store();
        ASSERT_NO_THROW(Next.SetRegistry()) << "round " << Rounds;
        ++Rounds;
    }
    RecordProperty("whole", Whole);
    RecordProperty("rounds", Rounds);
}

TEST_F(KssSettingsProcessTest, TwoWritersAtOnceLoseNoWriteAndReadersSeeWholeKeys)
{
    constexpr int kEach = 120;
    ASSERT_TRUE(Store().WriteAKey("Fixed", "stays"));
    pid_t Writers[2];
    for (int W = 0; W < 2; ++W) {
        Writers[W] = Spawn([W] {
            const TKssSettings Settings = Store();
            for (int N = 0; N < kEach; ++N) {
                const std::string Name = "W" + std::to_string(W) + "_" + std::to_string(N);
                if (!Settings.WriteRKey(Name, N * 2 + W))
                    throw std::runtime_error("key not created");
            }
        });
        ASSERT_GT(Writers[W], 0);
    }
    // Readers take no lock: while both write, every read must still find a whole key.
    int Status[2] = {-1, -1};
    int Reads = 0;
    while (Status[0] == -1 || Status[1] == -1) {
        std::string Fixed;
        ASSERT_TRUE(Store().ReadAKey("Fixed", Fixed)) << "read " << Reads;
        ASSERT_EQ(Fixed, "stays");
        ++Reads;
        for (int W = 0; W < 2; ++W)
            if (Status[W] == -1 && ::waitpid(Writers[W], &Status[W], WNOHANG) != Writers[W])
                Status[W] = -1;
    }
    RecordProperty("reads", Reads);
    for (int W = 0; W < 2; ++W)
        ASSERT_TRUE(WIFEXITED(Status[W]) && WEXITSTATUS(Status[W]) == 0) << Status[W];
    const TKssSettings Settings = Store();
    for (int W = 0; W < 2; ++W)
        for (int N = 0; N < kEach; ++N) {
            int32_t Value = -1;
            const std::string Name = "W" + std::to_string(W) + "_" + std::to_string(N);
            ASSERT_TRUE(Settings.ReadRKey(Name, Value));
            EXPECT_EQ(Value, N * 2 + W) << Name;
        }
}

}  // namespace
