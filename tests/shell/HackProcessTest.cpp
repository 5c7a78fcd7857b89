// The real executable started the way a screensaver daemon starts it: into a window the test
// owns (holding its button presses, as the daemon does), on a private Xvfb server. Screenshots
// with ImageMagick's import show the moving scene and the black bars; SIGTERM ends it with 0.
#include "tests/shell/PrivateSaverRun.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testproc::ChildProcess;

const std::string kSaver = SOLVANE_BINARY_DIR "/solvane";

class HackProcessTest : public PrivateSaverRun {
protected:
    void SetUp() override
    {
        PrivateSaverRun::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        D = XOpenDisplay(X->Display().c_str());
        ASSERT_NE(D, nullptr);
        Host = XCreateSimpleWindow(D, DefaultRootWindow(D), 0, 0, 320, 240, 0, 0, 0xFFFFFF);
        XSelectInput(D, Host, ButtonPressMask | KeyPressMask);
        XMapWindow(D, Host);
        XSync(D, False);
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", Host);
        HostId = id;
    }
    void TearDown() override
    {
        if (D != nullptr)
            XCloseDisplay(D);
        X.reset();
        PrivateSaverRun::TearDown();
    }

    // The window's pixels as 8-bit RGB bytes; also saved as a PNG under the build folder.
    std::string Grab(const std::string& Name)
    {
        X->Run("import -window " + HostId + " " SOLVANE_BINARY_DIR "/" + Name + ".png");
        return X->Run("import -window " + HostId + " -depth 8 rgb:-");
    }
    static uint32_t At(const std::string& Rgb, int Width, int X, int Y)
    {
        const size_t i = (static_cast<size_t>(Y) * static_cast<size_t>(Width) + static_cast<size_t>(X)) * 3;
        if (i + 2 >= Rgb.size())
            return 0xFFFFFFFFu;
        auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(Rgb[k])); };
        return byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    }
    // Waits until the scene covers the window's middle (the start decodes the pictures first).
    bool WaitForScene(int Width, int Height)
    {
        for (int i = 0; i < 100; ++i) {
            const std::string rgb = Grab("hack-start");
            const uint32_t middle = At(rgb, Width, Width / 2, Height / 2);
            if (middle != 0 && middle != 0xFFFFFF && middle != 0xFFFFFFFFu)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    Display* D = nullptr;
    Window Host = 0;
    std::string HostId;
};

TEST_F(HackProcessTest, DrawsTheMovingSceneIntoTheWindowFollowsResizesAndEndsOnSigterm)
{
    ChildProcess saver({kSaver, "--window-id", HostId, "--no-music"}, Env);
    ASSERT_TRUE(WaitForScene(320, 240)) << saver.StdErr();
    const std::string first = Grab("hack-preview-320x240");
    EXPECT_TRUE(testproc::PollUntil([&] { return Grab("hack-preview-320x240-later") != first; }, 10s))
        << "the scene does not move";
    // Wider than the picture: black bars left and right, the picture 320 pixels wide between.
    XResizeWindow(D, Host, 480, 240);
    XSync(D, False);
    std::string wide;
    testproc::PollUntil(
        [&] {
            wide = Grab("hack-preview-480x240");
            return At(wide, 480, 20, 120) == 0 && At(wide, 480, 460, 120) == 0 && At(wide, 480, 240, 120) != 0;
        },
        10s);
    EXPECT_EQ(At(wide, 480, 20, 120), 0u);
    EXPECT_EQ(At(wide, 480, 460, 120), 0u);
    EXPECT_NE(At(wide, 480, 240, 120), 0u);
    EXPECT_TRUE(saver.Running()) << saver.StdErr();
    kill(saver.Pid(), SIGTERM);
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
}

TEST_F(HackProcessTest, TheDaemonsVariableNamesTheWindowAndABadIdIsRefused)
{
    Env["XSCREENSAVER_WINDOW"] = HostId;
    ChildProcess saver({kSaver, "--no-music"}, Env);
    EXPECT_TRUE(WaitForScene(320, 240)) << saver.StdErr();
    kill(saver.Pid(), SIGTERM);
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();

    ChildProcess bad({kSaver, "-window-id", "0xZZ"}, Env);
    EXPECT_EQ(bad.WaitExit(5s), 1);
    EXPECT_NE(bad.StdErr().find("solvane: -window-id: '0xZZ' is not a window id"), std::string::npos) << bad.StdErr();
}

// The pid holding the flock on the file, from the kernel's lock table; 0 when nobody does.
pid_t LockHolder(const std::string& Path)
{
    struct stat info {};
    if (stat(Path.c_str(), &info) != 0)
        return 0;
    std::ifstream locks("/proc/locks");
    std::string line;
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, device;
        pid_t pid = 0;
        fields >> number >> kind >> mode >> access >> pid >> device;
        if (kind == "FLOCK" && (device + " ").size() > inode.size() &&
            (device + " ").compare((device + " ").size() - inode.size(), inode.size(), inode) == 0)
            return pid;
    }
    return 0;
}

// Two monitors: the daemon starts a hack for each at the same moment. Exactly one takes the music;
// the other draws silently (SDL's disk audio driver writes nothing for it).
TEST_F(HackProcessTest, OfTwoHacksSideBySideOnlyOneTakesTheMusic)
{
    const Window second = XCreateSimpleWindow(D, DefaultRootWindow(D), 400, 0, 320, 240, 0, 0, 0xFFFFFF);
    XMapWindow(D, second);
    XSync(D, False);
    char secondId[32];
    std::snprintf(secondId, sizeof secondId, "0x%lx", second);
    std::vector<std::unique_ptr<ChildProcess>> hacks;
    for (const std::string& window : {HostId, std::string(secondId)}) {
        Env["SDL_AUDIODRIVER"] = "disk";
        Env["SDL_DISKAUDIOFILE"] = Root() + "/audio-" + window + ".raw";
        hacks.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{kSaver, "-window-id", window}, Env));
    }
    ASSERT_TRUE(WaitForScene(320, 240)) << hacks[0]->StdErr();
    std::this_thread::sleep_for(1s);
    const pid_t holder = LockHolder(Root() + "/solvane-music.lock");
    EXPECT_TRUE(holder == hacks[0]->Pid() || holder == hacks[1]->Pid()) << "held by " << holder;
    for (size_t i = 0; i < hacks.size(); ++i) {
        EXPECT_TRUE(hacks[i]->Running()) << hacks[i]->StdErr();
        const std::string audio = Root() + "/audio-" + (i == 0 ? HostId : std::string(secondId)) + ".raw";
        const bool played = std::filesystem::exists(audio) && std::filesystem::file_size(audio) > 0;
        EXPECT_EQ(played, hacks[i]->Pid() == holder) << "hack " << i << (played ? " plays" : " is silent");
    }
    for (auto& hack : hacks) {
        kill(hack->Pid(), SIGTERM);
        EXPECT_EQ(hack->WaitExit(5s), 0) << hack->StdErr();
    }
}

}  // namespace
