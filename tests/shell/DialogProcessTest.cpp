// The settings dialog as its own process on a private Xvfb server, and what it saves as the
// saver process reads it: closing while a download waits on a silent proxy, the window's icon and
// class against the menu entry and the libraries it maps, "Start the screensaver after" with the real idle watcher, and a
// Cyrillic channel address from the dialog to the wire.
#include "config/Configuration.h"
#include "platform/runtime/IdleWatcher.h"
#include "tests/config/QtTestApp.h"
#include "tests/net/FixtureServer.h"
#include "tests/shell/PrivateSaverRun.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testproc::ChildProcess;
using testproc::PollUntil;

const std::string kSolvane = SOLVANE_BINARY_DIR "/solvane";

class DialogProcessTest : public PrivateSaverRun {
protected:
    // The dialog (or the saver) shown on the test's server; tried again when the fresh server
    // refused its first client.
    std::unique_ptr<ChildProcess> Start(const std::string& Switch, std::string& Window)
    {
        std::unique_ptr<ChildProcess> process;
        for (int attempt = 0; attempt < 3 && Window.empty(); ++attempt) {
            process = std::make_unique<ChildProcess>(std::vector<std::string>{kSolvane, Switch}, Env);
            Window = testproc::WaitForWindow(*X, process->Pid(), 10s);
        }
        return process;
    }
    bool WaitForRequests(size_t Count)
    {
        for (int i = 0; i < 1000 && Proxy.Requests().size() < Count; ++i)
            std::this_thread::sleep_for(10ms);
        return Proxy.Requests().size() >= Count;
    }
    void WriteProxySettings(const std::string& Url)
    {
        WriteKey("\"Brightness\"=dword:00000100\n\"SoundVolume\"=dword:000000c8\n\"TDegree\"=\"f\"\n"
                 "\"WeatherCode\"=\"20001\"\n\"RSS_Url\"=\"" +
                 Url +
                 "\"\n\"ShowTime\"=dword:00000000\n"
                 "\"ShowWeather\"=dword:00000000\n\"ShowNews\"=dword:00000001\n\"ShowBlack\"=dword:00000000\n"
                 "\"UseProxy\"=dword:00000001\n\"Proxy\"=\"127.0.0.1\"\n\"Port\"=\"" +
                 std::to_string(Proxy.Port()) + "\"\n");
    }

    nettest::FixtureServer Proxy;
};

// OK while the news page waits for a proxy that never answers: the window and the process go at
// once, and no further connection is made.
TEST_F(DialogProcessTest, OkDuringAStalledDownloadEndsTheProcessAtOnce)
{
    Env["QT_QPA_PLATFORM"] = "xcb";
    Proxy.Route("http://news.example/rss", [](nettest::FixtureConnection& C) { C.HoldOpen(20000); });
    WriteProxySettings("http://news.example/rss");
    std::string window;
    auto dialog = Start("/c", window);
    ASSERT_FALSE(window.empty()) << dialog->StdErr();
    // The "RSS News" tab: its first visit downloads.
    X->Run("xdotool mousemove --window " + window + " 257 169 click 1");
    ASSERT_TRUE(WaitForRequests(1)) << dialog->StdErr();
    X->Run("xdotool mousemove --window " + window + " 480 552 click 1");
    EXPECT_EQ(dialog->WaitExit(500ms), 0) << dialog->StdErr();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Proxy.Requests().size(), 1u);
    EXPECT_NE(ReadFile(KeyFile()).find("\"ShowNews\"=dword:00000001"), std::string::npos);
}

// Taskbars match the window's class to the menu entry's StartupWMClass and show its icon. The open
// dialog maps none of the saver's display and sound stack, whose loading slowed every opening.
TEST_F(DialogProcessTest, WindowCarriesTheIconAndTheMenuEntrysClass)
{
    Env["QT_QPA_PLATFORM"] = "xcb";
    std::string window;
    auto dialog = Start("/c", window);
    ASSERT_FALSE(window.empty()) << dialog->StdErr();
    const std::string maps = ReadFile("/proc/" + std::to_string(dialog->Pid()) + "/maps");
    for (const char* library : {"libSDL2", "libpulse", "libasound", "solvane-saver.so"})
        EXPECT_EQ(maps.find(library), std::string::npos) << library << " is mapped by the dialog";
    std::ifstream entry(SOLVANE_SOURCE_DIR "/packaging/desktop/com.kestrinsoftware.Solvane.desktop");
    std::string line, wmClass;
    while (std::getline(entry, line))
        if (line.rfind("StartupWMClass=", 0) == 0)
            wmClass = line.substr(15);
    ASSERT_FALSE(wmClass.empty());
    EXPECT_EQ(X->Run("xprop -id " + window + " WM_CLASS"), "WM_CLASS(STRING) = \"solvane\", \"" + wmClass + "\"\n");
    EXPECT_NE(X->Run("xprop -id " + window + " _NET_WM_ICON | head -c 200").find("Icon (128 x 128)"),
              std::string::npos);
    X->Run("xdotool key --window " + window + " Escape");
    EXPECT_EQ(dialog->WaitExit(5s), 0) << dialog->StdErr();
}

// "Start the screensaver after" as a person sets it: ticked, the minutes typed, OK; the autostart
// entry passes desktop-file-validate and this session's watcher runs, and again when a desktop
// launches the entry. Cleared in the dialog opened again, both are gone.
TEST_F(DialogProcessTest, StartAfterIdleAddsAndRemovesTheWatcher)
{
    Env["QT_QPA_PLATFORM"] = "xcb";
    Env["WAYLAND_DISPLAY"] = "";
    Env["DBUS_SESSION_BUS_ADDRESS"] = "";
    // This process looks for the watcher where the dialog's children run.
    testproc::ScopedEnvironment session({{"DISPLAY", X->Display()},
                                         {"XDG_RUNTIME_DIR", Root()},
                                         {"WAYLAND_DISPLAY", ""},
                                         {"DBUS_SESSION_BUS_ADDRESS", ""}});
    // Whatever happens below, no watcher outlives the test.
    const std::unique_ptr<void, void (*)(void*)> endWatcher(&session, [](void*) { plat::EndIdleWatcher(); });
    const auto watcherRuns = [] { return PollUntil([] { return plat::RunningIdleWatcher() > 0; }, 20s); };
    std::string window;
    auto dialog = Start("/c", window);
    ASSERT_FALSE(window.empty()) << dialog->StdErr();
    X->Run("xdotool mousemove --window " + window + " 116 506 click 1");  // the box
    X->Run("xdotool mousemove --window " + window + " 330 506 click 1 key ctrl+a type 25");  // the minutes
    X->Run("xdotool mousemove --window " + window + " 480 552 click 1");  // OK
    EXPECT_EQ(dialog->WaitExit(5s), 0) << dialog->StdErr();
    EXPECT_NE(ReadFile(KeyFile()).find("\"StartAfterIdle\"=dword:00000001\n\"IdleMinutes\"=dword:00000019\n"),
              std::string::npos);
    const std::string entry = Root() + "/autostart/solvane-idle.desktop";
    EXPECT_NE(ReadFile(entry).find("\nExec=" + kSolvane + " --idle\n"), std::string::npos) << ReadFile(entry);
    int status = -1;
    EXPECT_EQ(testproc::RunCommand("desktop-file-validate '" + entry + "' 2>&1", &status), "");
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(watcherRuns()) << dialog->StdErr();
    ASSERT_TRUE(plat::EndIdleWatcher());
    testproc::RunCommand("gio launch '" + entry + "' >/dev/null 2>&1");
    ASSERT_TRUE(watcherRuns()) << "the entry as a desktop launches it started no watcher";

    window.clear();
    dialog = Start("/c", window);
    ASSERT_FALSE(window.empty()) << dialog->StdErr();
    X->Run("xdotool mousemove --window " + window + " 116 506 click 1 mousemove --window " + window +
           " 480 552 click 1");
    EXPECT_EQ(dialog->WaitExit(5s), 0) << dialog->StdErr();
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_EQ(plat::RunningIdleWatcher(), 0);
}

// A channel address typed in Cyrillic is saved in its ASCII form, and the saver asks the proxy
// for exactly that: the host in IDNA form, the path in percent-encoded UTF-8.
TEST_F(DialogProcessTest, CyrillicAddressReachesTheWireAsStored)
{
    QtTestApp();
    const std::string wire = "http://xn--e1afmkfd.xn--p1ai/%D0%BD%D0%BE%D0%B2%D0%BE%D1%81%D1%82%D0%B8";
    Proxy.Reply(wire, nettest::HttpReply("200 OK", "", "<rss version=\"2.0\"><channel><title>News</title>"));
    WriteProxySettings("http://example.org/");
    {
        TForm2 form([](const QString& Message) { ADD_FAILURE() << Message.toStdString(); });
        form.RSS_Url = QString::fromUtf8("http://пример.рф/новости");
        form.BTOKClick();
    }
    EXPECT_NE(ReadFile(KeyFile()).find("\"RSS_Url\"=\"" + wire + "\""), std::string::npos);
    std::string window;
    Env["SDL_VIDEODRIVER"] = "x11";
    auto saver = Start("/s", window);
    ASSERT_FALSE(window.empty()) << saver->StdErr();
    ASSERT_TRUE(WaitForRequests(1)) << saver->StdErr();
    EXPECT_EQ(Proxy.Requests()[0].substr(0, 4 + wire.size() + 9), "GET " + wire + " HTTP/1.0");
    X->Run("xdotool key Escape");
    EXPECT_EQ(saver->WaitExit(5s), 0) << saver->StdErr();
}

}  // namespace
