// The real executable in each of its modes. Tests that need X run it on a private Xvfb server and
// drive it with xdotool; they are skipped when DISPLAY is unset (no X testing wanted here). Web
// pages go to a stand-in launcher first on PATH.
#include "assets/Resources.h"
#include "engine/HostNames.h"
#include "net/OpenMeteo.h"
#include "platform/image/PictureDecoder.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/TlsServers.h"
#include "tests/platform/registry/TempConfigHome.h"
#include "tests/shell/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testproc::ChildProcess;

const std::string kSaver = SOLVANE_BINARY_DIR "/solvane";

class SaverProcessTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        const std::string bin = Root() + "/bin";
        std::filesystem::create_directories(bin);
        Opened = Root() + "/opened.log";
        WriteFile(bin + "/xdg-open", "#!/bin/sh\nprintf '[%s]\\n' \"$1\" >> '" + Opened + "'\n");
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
        // A message-box helper that shows nothing and reports success, as zenity does without a
        // display: messages must not vanish into it.
        WriteFile(bin + "/zenity", "#!/bin/sh\nexit 0\n");
        std::filesystem::permissions(bin + "/zenity", std::filesystem::perms::owner_all);
        Env["PATH"] = bin + ":" + std::getenv("PATH");
        Env["XDG_CONFIG_HOME"] = Root();
        // The runner's own choice of the offscreen video driver must not reach the saver. Leaks
        // are the unit tests' business: system libraries the saver unloads at exit (the X and
        // D-Bus clients) leave allocations the leak checker cannot attribute.
        Env["SDL_VIDEODRIVER"] = "x11";
        Env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1";
    }

    // Starts the X server for a test that needs one; false (and the test is skipped) without X.
    bool StartX()
    {
        if (std::getenv("DISPLAY") == nullptr)
            return false;
        X = std::make_unique<testproc::PrivateXServer>();
        if (X->Display().empty())
            return false;
        Env["DISPLAY"] = X->Display();
        return true;
    }

    std::string WaitForWindow(pid_t Pid, std::chrono::milliseconds Timeout)
    {
        return testproc::WaitForWindow(*X, Pid, Timeout);
    }

    // A clock window to preview into, and its window id. A client that connects while the fresh
    // server is still settling is occasionally refused; such a start is tried again.
    std::string StartHostWindow(std::unique_ptr<ChildProcess>& Host)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Host = std::make_unique<ChildProcess>(
                std::vector<std::string>{"/usr/bin/xclock", "-geometry", "200x150+10+10"}, Env);
            const std::string window = WaitForWindow(Host->Pid(), 5s);
            if (!window.empty())
                return window;
        }
        return {};
    }

    // The saver started on the server with its window shown; tried again like the clock when the
    // fresh server refused it.
    std::unique_ptr<ChildProcess> StartSaver(const std::vector<std::string>& Args, std::string& Window)
    {
        std::unique_ptr<ChildProcess> saver;
        for (int attempt = 0; attempt < 3 && Window.empty(); ++attempt) {
            saver = std::make_unique<ChildProcess>(Args, Env);
            Window = WaitForWindow(saver->Pid(), 5s);
        }
        return saver;
    }

    std::string WaitForOpened()
    {
        for (int i = 0; i < 200; ++i) {
            const std::string text = ReadFile(Opened);
            if (!text.empty())
                return text;
            std::this_thread::sleep_for(10ms);
        }
        return {};
    }

    ChildProcess::Environment Env;
    std::unique_ptr<testproc::PrivateXServer> X;
    std::string Opened;
};

#define REQUIRE_X()                                                                                                    \
    if (!StartX())                                                                                                     \
    GTEST_SKIP() << "no X display for end-to-end tests"

}  // namespace

TEST_F(SaverProcessTest, PasswordModeWithoutTheLibraryReportsAndExitsZero)
{
    Env["DISPLAY"] = "";
    ChildProcess saver({kSaver, "/a", "1234"}, Env);
    EXPECT_EQ(saver.WaitExit(10s), 0);
    EXPECT_NE(saver.StdErr().find("Screen saver: MPR.DLL not found: cannot change password."), std::string::npos)
        << saver.StdErr();
}

// The launcher in a folder of its own with some of its modules: without the dialog's, the saver's
// module reports it; without the saver's or the resources', or with the resources cut short (a
// crash at the first touch of a missing page, once), the launcher says so and fails.
TEST_F(SaverProcessTest, LauncherReportsAMissingModule)
{
    Env["DISPLAY"] = "";
    const std::string missingResources = "solvane: solvane-assets.so is missing or damaged";
    const struct {
        std::vector<std::string> Files;
        int Code;
        std::string Said;
        bool CutResources = false;
    } cases[] = {
        {{"solvane", "solvane-assets.so", "solvane-saver.so"},
         0,
         "The settings dialog cannot be loaded (solvane-dialog.so is missing or damaged)."},
        {{"solvane", "solvane-assets.so"}, 1, "solvane: solvane-saver.so is missing or damaged"},
        {{"solvane", "solvane-saver.so"}, 1, missingResources},
        {{"solvane", "solvane-assets.so", "solvane-saver.so"}, 1, missingResources, true},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::string dir = Root() + "/launcher" + std::to_string(index++);
        std::filesystem::create_directories(dir);
        for (const std::string& file : c.Files)
            std::filesystem::copy_file(SOLVANE_BINARY_DIR "/" + file, dir + "/" + file);
        if (c.CutResources)
            std::filesystem::resize_file(dir + "/solvane-assets.so",
                                         std::filesystem::file_size(dir + "/solvane-assets.so") / 2);
        ChildProcess launcher({dir + "/solvane", "/c"}, Env);
        EXPECT_EQ(launcher.WaitExit(10s), c.Code) << c.Said;
        EXPECT_NE(launcher.StdErr().find(c.Said), std::string::npos) << launcher.StdErr();
    }
}

TEST_F(SaverProcessTest, PreviewWithABadHandleShowsTheExceptionAndExitsZero)
{
    Env["DISPLAY"] = "";
    ChildProcess saver({kSaver, "/p", "abc"}, Env);
    EXPECT_EQ(saver.WaitExit(10s), 0);
    EXPECT_NE(saver.StdErr().find("'abc' is not a valid integer value"), std::string::npos) << saver.StdErr();
}

// No window system at all: the saver says so and ends instead of running unseen with its music.
TEST_F(SaverProcessTest, SaverWithoutADisplayEndsAtOnceAndPlaysNothing)
{
    const std::string recording = Root() + "/sound.raw";
    Env["DISPLAY"] = "";
    Env["WAYLAND_DISPLAY"] = "";
    Env["SDL_VIDEODRIVER"] = "";
    Env["SDL_AUDIODRIVER"] = "disk";
    Env["SDL_DISKAUDIOFILE"] = recording;
    ChildProcess saver({kSaver, "/s"}, Env);
    EXPECT_EQ(saver.WaitExit(2s), 0) << saver.StdErr();
    EXPECT_NE(saver.StdErr().find("Solvane Screensaver: Error SetDisplayMode"), std::string::npos) << saver.StdErr();
    EXPECT_FALSE(std::filesystem::exists(recording) && std::filesystem::file_size(recording) > 0);
}

TEST_F(SaverProcessTest, ConfigurationModeWithoutADisplayReportsAndExitsZero)
{
    Env["DISPLAY"] = "";
    Env["QT_QPA_PLATFORM"] = "";
    ChildProcess saver({kSaver, "/c:4711"}, Env);
    EXPECT_EQ(saver.WaitExit(10s), 0);
    EXPECT_NE(saver.StdErr().find("Screensaver Configuration: The settings dialog needs a desktop display."),
              std::string::npos)
        << saver.StdErr();
}

// The dialog as a person uses it: real clicks on "Show Time" and on OK or Cancel.
TEST_F(SaverProcessTest, ConfigurationDialogSavesOnOkAndNothingOnCancel)
{
    REQUIRE_X();
    Env["QT_QPA_PLATFORM"] = "xcb";
    for (const bool ok : {false, true}) {
        std::string window;
        auto dialog = StartSaver({kSaver, "/c"}, window);
        ASSERT_FALSE(window.empty()) << dialog->StdErr();
        EXPECT_EQ(X->Run("xdotool getwindowname " + window), "Screensaver Configuration\n");
        const std::string firstUse = ReadFile(KeyFile());
        EXPECT_NE(firstUse.find("\"ShowTime\"=dword:00000000"), std::string::npos) << firstUse;
        // "Show Time" in the Gadgets box, then OK or Cancel (window coordinates of the form).
        // The server hands both clicks to the dialog in order: no pause is needed between them.
        X->Run("xdotool mousemove --window " + window + " 201 344 click 1");
        X->Run("xdotool mousemove --window " + window + (ok ? " 480 552" : " 58 552") + " click 1");
        EXPECT_EQ(dialog->WaitExit(5s), 0) << dialog->StdErr();
        const std::string stored = ReadFile(KeyFile());
        if (ok)
            EXPECT_NE(stored.find("\"ShowTime\"=dword:00000001"), std::string::npos) << stored;
        else
            EXPECT_EQ(stored, firstUse);
    }
}

TEST_F(SaverProcessTest, SaverCoversTheScreenAndEndsOnEscape)
{
    REQUIRE_X();
    std::string window;
    auto saverProcess = StartSaver({kSaver, "/s"}, window);
    ChildProcess& saver = *saverProcess;
    ASSERT_FALSE(window.empty()) << saver.StdErr();
    const std::string geometry = X->Run("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Geometry: 1280x1024"), std::string::npos) << geometry;
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(saver.Running());
    X->Run("xdotool key Escape");
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
}

TEST_F(SaverProcessTest, SmallMouseMovesKeepItAndALargeOneEndsIt)
{
    REQUIRE_X();
    std::string window;
    auto saverProcess = StartSaver({kSaver}, window);
    ChildProcess& saver = *saverProcess;
    ASSERT_FALSE(window.empty()) << saver.StdErr();
    // The window appearing under the pointer may already have reported the pointer's position as
    // the first movement; either way these small steps do not end the saver.
    std::this_thread::sleep_for(150ms);
    X->Run("xdotool mousemove_relative -- 4 3");
    std::this_thread::sleep_for(150ms);
    X->Run("xdotool mousemove_relative -- -5 -5");
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(saver.Running());
    X->Run("xdotool mousemove_relative -- 20 0");
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
}

// A window manager puts the pointer elsewhere as it places and focuses windows (awesome onto the
// monitor of the window it activates): no movement of the user's, however far. xdotool's absolute
// move is such a warp; its relative move comes as a device's.
TEST_F(SaverProcessTest, APointerPutElsewhereByAProgramIsNoMovement)
{
    REQUIRE_X();
    std::string window;
    auto saverProcess = StartSaver({kSaver}, window);
    ChildProcess& saver = *saverProcess;
    ASSERT_FALSE(window.empty()) << saver.StdErr();
    for (const char* place : {"900 700", "40 30", "1200 1000"}) {
        X->Run(std::string("xdotool mousemove ") + place);
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_TRUE(saver.Running());
    X->Run("xdotool mousemove_relative -- 6 0");
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
}

TEST_F(SaverProcessTest, F2BeforeAnyNewsLinkOpensNothingAndEnds)
{
    REQUIRE_X();
    std::string window;
    auto saverProcess = StartSaver({kSaver, "-S"}, window);
    ChildProcess& saver = *saverProcess;
    ASSERT_FALSE(window.empty()) << saver.StdErr();
    X->Run("xdotool key F2");
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(std::filesystem::exists(Opened));
}

TEST_F(SaverProcessTest, F3OpensTheForecastPageAndEnds)
{
    REQUIRE_X();
    std::string window;
    auto saverProcess = StartSaver({kSaver, "/s"}, window);
    ChildProcess& saver = *saverProcess;
    ASSERT_FALSE(window.empty()) << saver.StdErr();
    X->Run("xdotool key F3");
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
    EXPECT_EQ(WaitForOpened(), "[" + ForecastPageAddress("20001", "f") + "]\n");
}

TEST_F(SaverProcessTest, PreviewDrawsThePictureIntoTheWindow)
{
    REQUIRE_X();
    std::unique_ptr<ChildProcess> host;
    const std::string shell = StartHostWindow(host);
    ASSERT_FALSE(shell.empty()) << host->StdErr();
    // The clock face is a child window covering its top-level window: draw into that one.
    const std::string tree = X->Run("xwininfo -children -id " + shell);
    const size_t child = tree.find("     0x");
    ASSERT_NE(child, std::string::npos) << tree;
    const std::string window = std::to_string(std::stoul(tree.substr(child + 5), nullptr, 16));
    // The clock paints its face once it is shown; a preview drawn before that would be painted over.
    ASSERT_TRUE(testproc::PollUntil(
        [&] { return X->Run("import -window " + window + " -format '%[standard_deviation]' info:") != "0"; }, 5s))
        << "the clock never painted its face";
    ChildProcess saver({kSaver, "/p", window}, Env);
    EXPECT_EQ(saver.WaitExit(10s), 0) << saver.StdErr();

    const plat::DecodeResult preview = plat::DecodeBmp(assets::FindResource("PREVIEWBMP"), "PREVIEWBMP");
    ASSERT_TRUE(preview.Ok()) << preview.Error;
    // Corners, where the clock's hands never repaint.
    for (const auto& [x, y] : {std::pair{3, 4}, std::pair{150, 5}, std::pair{4, 112}}) {
        const uint32_t rgb = preview.Image.Row(y)[x];
        char expected[32];
        std::snprintf(expected, sizeof expected, "srgb(%u,%u,%u)", (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        const std::string pixel =
            X->Run("import -window " + window + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) + " txt:-");
        EXPECT_NE(pixel.find(expected), std::string::npos) << x << "," << y << ": " << pixel;
    }
}

TEST_F(SaverProcessTest, PreviewOfAWindowThatDoesNotExistEndsQuietly)
{
    REQUIRE_X();
    ChildProcess saver({kSaver, "/p", "12345"}, Env);
    EXPECT_EQ(saver.WaitExit(10s), 0) << saver.StdErr();
    EXPECT_EQ(saver.StdErr(), "");
}

TEST_F(SaverProcessTest, PreviewEndsWhenTheWaitedForWindowGoesAway)
{
    REQUIRE_X();
    std::unique_ptr<ChildProcess> host;
    const std::string window = StartHostWindow(host);
    ASSERT_FALSE(window.empty()) << host->StdErr();
    X->Run("xdotool windowunmap --sync " + window);
    ChildProcess saver({kSaver, "/p", window}, Env);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(saver.Running());  // Waiting for the window to be shown.
    host.reset();  // Its owner ends and the window goes away.
    EXPECT_EQ(saver.WaitExit(5s), 0) << saver.StdErr();
}

namespace {

// All three switches on and the proxy setting pointing at a local server that answers for the
// weather and news servers.
class SaverFeedsTest : public SaverProcessTest {
protected:
    void WriteFeedSettings()
    {
        WriteKey("\"Brightness\"=dword:00000100\n\"SoundVolume\"=dword:000000c8\n\"TDegree\"=\"f\"\n"
                 "\"WeatherCode\"=\"20001\"\n\"RSS_Url\"=\"" +
                 kNewsUrl +
                 "\"\n\"ShowTime\"=dword:00000001\n"
                 "\"ShowWeather\"=dword:00000001\n\"ShowNews\"=dword:00000001\n\"ShowBlack\"=dword:00000000\n"
                 "\"UseProxy\"=dword:00000001\n\"Proxy\"=\"127.0.0.1\"\n\"Port\"=\"" +
                 std::to_string(Proxy.Port()) + "\"\n\"WeatherFeed\"=\"" + kRssWeatherHost + "\"\n");
    }
    bool WaitForRequests(size_t Count)
    {
        for (int i = 0; i < 500 && Proxy.Requests().size() < Count; ++i)
            std::this_thread::sleep_for(10ms);
        return Proxy.Requests().size() >= Count;
    }

    const std::string kRssWeatherHost = "weather.kestrin-software.net";
    const std::string kWeatherUrl = "http://" + kRssWeatherHost + "/forecastrss?p=20001&u=f";
    const std::string kNewsUrl = std::string("http://") + hosts::kNewsHost + "/rss/world.xml";
    nettest::FixtureServer Proxy;
};

}  // namespace

TEST_F(SaverFeedsTest, FeedsComeThroughTheProxyAndF2OpensTheChannelLink)
{
    REQUIRE_X();
    Proxy.Reply(kWeatherUrl,
                nettest::HttpReply("200 OK", "",
                                   "<?xml version=\"1.0\"?><yweather:condition code=\"32\" "
                                   "temp=\"71\"/><yweather:forecast code=\"30\" low=\"60\" "
                                   "high=\"75\"/>"));
    Proxy.Reply(kNewsUrl,
                nettest::HttpReply("200 OK", "",
                                   "<rss version=\"2.0\"><channel><title>World</title>"
                                   "<link>http://news.test/world?a=1&amp;b=2</link>"
                                   "<item><title>One</title></item></channel></rss>"));
    WriteFeedSettings();
    std::string window;
    auto saver = StartSaver({kSaver, "/s"}, window);
    ASSERT_FALSE(window.empty()) << saver->StdErr();
    ASSERT_TRUE(WaitForRequests(2)) << saver->StdErr();
    EXPECT_EQ(Proxy.Requests()[0].substr(0, 4 + kWeatherUrl.size()), "GET " + kWeatherUrl);
    EXPECT_EQ(Proxy.Requests()[1].substr(0, 4 + kNewsUrl.size()), "GET " + kNewsUrl);
    std::this_thread::sleep_for(300ms);
    X->Run("xdotool key F2");
    EXPECT_EQ(saver->WaitExit(5s), 0) << saver->StdErr();
    EXPECT_EQ(WaitForOpened(), "[http://news.test/world?a=1&b=2]\n");
}

TEST_F(SaverFeedsTest, F2OpensNoLinkThatIsNotAWebPage)
{
    REQUIRE_X();
    WriteFeedSettings();
    for (const std::string link : {"file:///etc/passwd", "smb://server/share", "/usr/share/applications/x.desktop",
                                   "--help", "http://news.test/\x01\x1B[2J"}) {
        Proxy.ClearRequests();
        Proxy.Reply(kNewsUrl,
                    nettest::HttpReply("200 OK", "",
                                       "<rss version=\"2.0\"><channel><title>World</title>"
                                       "<link>" +
                                           link +
                                           "</link><item><title>One</title>"
                                           "</item></channel></rss>"));
        std::string window;
        auto saver = StartSaver({kSaver, "/s"}, window);
        ASSERT_FALSE(window.empty()) << saver->StdErr();
        ASSERT_TRUE(WaitForRequests(2)) << saver->StdErr();
        std::this_thread::sleep_for(300ms);
        X->Run("xdotool key F2");
        EXPECT_EQ(saver->WaitExit(5s), 0) << saver->StdErr();
        std::this_thread::sleep_for(300ms);
        EXPECT_FALSE(std::filesystem::exists(Opened)) << link << ": " << ReadFile(Opened);
    }
}

TEST_F(SaverFeedsTest, EscapeDuringASlowFetchEndsTheSaverAtOnce)
{
    REQUIRE_X();
    Proxy.Route(kWeatherUrl, [](nettest::FixtureConnection& Connection) {
        Connection.Send("HTTP/1.0 200 OK\r\n");
        Connection.HoldOpen(20000);
    });
    WriteFeedSettings();
    std::string window;
    auto saver = StartSaver({kSaver, "/s"}, window);
    ASSERT_FALSE(window.empty()) << saver->StdErr();
    ASSERT_TRUE(WaitForRequests(1)) << saver->StdErr();
    std::this_thread::sleep_for(200ms);
    X->Run("xdotool key Escape");
    EXPECT_EQ(saver->WaitExit(1s), 0) << saver->StdErr();
    EXPECT_EQ(Proxy.Requests().size(), 1u);  // the news is not fetched after the cancelled weather
}

// How screensaver daemons and terminals end a saver: each ends it through ExitSaver, with 0.
TEST_F(SaverProcessTest, QuitSignalsEndItCleanly)
{
    REQUIRE_X();
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::string window;
        auto saverProcess = StartSaver({kSaver, "/s"}, window);
        ASSERT_FALSE(window.empty()) << saverProcess->StdErr();
        kill(saverProcess->Pid(), signal);
        EXPECT_EQ(saverProcess->WaitExit(5s), 0) << "signal " << signal << saverProcess->StdErr();
    }
}

// Today's services stood in for by local nginx over TLS: the weather from the live source's JSON
// and the news over https, both through the proxy setting's CONNECT tunnels, the test CA trusted
// through SSL_CERT_FILE. The screenshot lands in the build folder (live-feeds.png).
TEST_F(SaverFeedsTest, LiveWeatherAndHttpsNewsThroughConnectTunnels)
{
    REQUIRE_X();
    if (!nettest::ChildServer::Installed(nettest::kNginx))
        GTEST_SKIP() << "nginx is not installed";
    nettest::TlsServers servers;
    servers.WriteFile("v1/forecast",
                      R"({"current":{"temperature_2m":43.6,"weather_code":61,"is_day":1},)"
                      R"("daily":{"weather_code":[61,2],"temperature_2m_max":[47.1,52.4],)"
                      R"("temperature_2m_min":[38.2,36.8]}})");
    servers.WriteFile("news",
                      "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>World news</title>"
                      "<link>https://news.google.com/</link><item><title>Read over https through a "
                      "CONNECT tunnel</title></item><item><title>Weather from the live source</title>"
                      "</item></channel></rss>");
    ASSERT_TRUE(servers.Start()) << servers.Log();
    for (const char* host : {"api.open-meteo.com:443", "news.google.com:443"})
        Proxy.Route(host, [&](nettest::FixtureConnection& Connection) {
            Connection.Tunnel(servers.Port(nettest::TlsServers::kGood));
        });
    Env["SSL_CERT_FILE"] = servers.Ca().CaFile();
    WriteKey("\"Brightness\"=dword:00000100\n\"SoundVolume\"=dword:000000c8\n\"TDegree\"=\"f\"\n"
             "\"WeatherCode\"=\"20001\"\n\"RSS_Url\"=\"https://news.google.com/news?ned=us&topic=w&output=rss\"\n"
             "\"ShowTime\"=dword:00000001\n\"ShowWeather\"=dword:00000001\n\"ShowNews\"=dword:00000001\n"
             "\"ShowBlack\"=dword:00000000\n\"UseProxy\"=dword:00000001\n\"Proxy\"=\"127.0.0.1\"\n\"Port\"=\"" +
             std::to_string(Proxy.Port()) + "\"\n");
    std::string window;
    auto saver = StartSaver({kSaver, "/s"}, window);
    ASSERT_FALSE(window.empty()) << saver->StdErr();
    ASSERT_TRUE(WaitForRequests(2)) << saver->StdErr();
    EXPECT_EQ(Proxy.Requests()[0].substr(0, 30), "CONNECT api.open-meteo.com:443");
    EXPECT_EQ(Proxy.Requests()[1].substr(0, 27), "CONNECT news.google.com:443");
    std::this_thread::sleep_for(1500ms);
    int status = -1;
    X->Run("import -window root " SOLVANE_BINARY_DIR "/live-feeds.png", &status);
    EXPECT_EQ(status, 0);
    X->Run("xdotool key Escape");
    EXPECT_EQ(saver->WaitExit(5s), 0) << saver->StdErr();
}
