// The feed thread and its fetches: the refresh timing, the request settings, real local servers
// direct and through the proxy setting (our fixture server as the proxy, and Debian's
// tinyproxy), and the errors that cost one fetch.
#include "engine/HostNames.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "net/Httpclient.h"
#include "net/NewsFeed.h"
#include "net/Unit2thread1.h"
#include "net/WeatherFeed.h"
#include "platform/app/Application.h"
#include "tests/net/ChildServer.h"
#include "tests/net/FixtureServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace std::chrono_literals;
using nettest::HttpReply;

const std::string kWeatherXml =
    "<?xml version=\"1.0\" ?><rss version=\"2.0\"><channel>"
    "<yweather:condition text=\"Cloudy\" code=\"26\" temp=\"12\"/>"
    "<yweather:forecast low=\"5\" high=\"14\" code=\"26\"/><yweather:forecast low=\"3\" high=\"9\" code=\"";
const std::string kNewsXml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Local &amp; Near</title>"
                             "<link>http://news.test/</link><item><title>One</title></item>"
                             "<item><title>Two</title></item></channel></rss>";

std::string WeatherBody(const std::string& TomorrowCode)
{
    return kWeatherXml + TomorrowCode + "\"/></channel></rss>";
}

// What a saver window gives the feed thread, with the settings and the clock in the test's hands.
struct FeedWindow {
    THttpClient HTTP1{nullptr, plat::App()};
    plat::FontCache Fonts;
    TKGW KGW1{nullptr, Fonts};
    TKGR KGR1{nullptr, Fonts};
    std::string NewsLink;
    TFeedSettings Settings;
    int Refreshes = 0;
    int32_t Now = 0;  // minutes since midnight

    TFeedTargets Targets()
    {
        return {&HTTP1,
                &KGW1,
                &KGR1,
                &NewsLink,
                [this] {
                    ++Refreshes;
                    return Settings;
                },
                [this] { return Now % 60; }};
    }
};

std::string Clock(int32_t Minutes)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", Minutes / 60, Minutes % 60);
    return text;
}

// The refreshes of a saver started at Start, ticked twice in each of its first 62 minutes.
std::vector<std::string> RefreshTimes(int32_t Start)
{
    plat::Application app;
    FeedWindow window;
    window.Now = Start;
    WeatherHTTP thread(app, window.Targets(), true);
    std::vector<std::string> times;
    for (; window.Now < Start + 62; ++window.Now)
        for (int tick = 0; tick < 2; ++tick) {
            const int before = window.Refreshes;
            thread.FeedTick();
            if (window.Refreshes != before)
                times.push_back(Clock(window.Now));
        }
    return times;
}

TEST(FeedThread, RefreshesAtStartThenEveryThirtyMinuteChanges)
{
    EXPECT_EQ(RefreshTimes(10 * 60 + 17), (std::vector<std::string>{"10:17", "10:46", "11:16"}));
    EXPECT_EQ(RefreshTimes(10 * 60), (std::vector<std::string>{"10:00", "10:30", "11:00"}));
}

// Pumps the UI thread's messages until the thread has ended or Limit has passed.
bool PumpUntilFinished(const WeatherHTTP& Thread, std::chrono::milliseconds Limit)
{
    const auto end = std::chrono::steady_clock::now() + Limit;
    while (!Thread.Finished() && std::chrono::steady_clock::now() < end) {
        plat::App().ProcessMessages();
        std::this_thread::sleep_for(2ms);
    }
    return Thread.Finished();
}

// A server of the RSS weather format, named by the "WeatherFeed" setting.
constexpr const char* kRssWeatherHost = "weather.kestrin-software.net";
const std::string kWeatherTarget = std::string("http://") + kRssWeatherHost + "/forecastrss?p=AFXX0005&u=c";

class FeedFetch : public testing::Test {
protected:
    void SetUp() override
    {
        Window.Settings.WeatherCode = "AFXX0005";
        Window.Settings.TDegree = "c";
        Window.Settings.WeatherFeed = kRssWeatherHost;
        Window.Settings.RSS_Url = Server.Url("/news.xml");
        Server.Reply("/news.xml", HttpReply("200 OK", "", kNewsXml));
    }
    // The fixture server as the proxy of the settings: it answers the weather server's address.
    void UseServerAsProxy()
    {
        Window.Settings.UseProxy = 1;
        Window.Settings.Proxy = "127.0.0.1";
        Window.Settings.Port = std::to_string(Server.Port());
    }
    void ExpectNews()
    {
        EXPECT_EQ(Window.KGR1.GetNameNews(), "Local & Near");
        EXPECT_EQ(Window.NewsLink, "http://news.test/");
        EXPECT_EQ(Window.KGR1.GetRssLine(), "  ***  One  ***  Two  ***  ");
    }

    nettest::FixtureServer Server;
    FeedWindow Window;
};

TEST_F(FeedFetch, NewsAloneWithTheWeatherFetchsRequestSettings)
{
    Window.Settings.ShowNews = 1;
    WeatherHTTP thread(plat::App(), Window.Targets(), true);
    thread.FeedTick();
    ASSERT_EQ(Server.Requests().size(), 1u);
    EXPECT_EQ(Server.Requests()[0].substr(0, 26), "GET /news.xml HTTP/1.0\r\nHo");
    EXPECT_EQ(Window.HTTP1.TimeOut, 5000);
    EXPECT_EQ(Window.HTTP1.ReportLevel, 2);
    EXPECT_EQ(Window.HTTP1.Proxy, "");
    ExpectNews();
    EXPECT_EQ(Window.KGW1.GetTodayCode(), 48);
}

TEST_F(FeedFetch, WithoutWeatherFeedTheLiveSourceIsAskedThroughTheProxysTunnel)
{
    Window.Settings.ShowWeather = 1;
    Window.Settings.WeatherFeed.clear();
    UseServerAsProxy();
    WeatherHTTP thread(plat::App(), Window.Targets(), true);
    thread.FeedTick();
    ASSERT_EQ(Server.Requests().size(), 1u);
    EXPECT_EQ(Server.Requests()[0].substr(0, 39), "CONNECT api.open-meteo.com:443 HTTP/1.0");
    // The fixture refuses the tunnel: a socket error, the gadget keeps its values.
    EXPECT_EQ(Window.KGW1.GetTodayNow(), "NA");
}

TEST_F(FeedFetch, BothFeedsThroughTheProxySetting)
{
    Window.Settings.ShowWeather = Window.Settings.ShowNews = 1;
    UseServerAsProxy();
    Server.Reply(kWeatherTarget, HttpReply("200 OK", "", WeatherBody("11")));
    Server.Reply(Server.Url("/news.xml"), HttpReply("200 OK", "", kNewsXml));
    WeatherHTTP thread(plat::App(), Window.Targets(), true);
    thread.FeedTick();
    const auto requests = Server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET " + kWeatherTarget + " HTTP/1.0");
    EXPECT_NE(requests[0].find("\r\nProxy-Connection: Keep-Alive\r\nHost: " + std::string(kRssWeatherHost)),
              std::string::npos);
    EXPECT_EQ(requests[1].substr(0, 9 + Server.Url("/news.xml").size()), "GET " + Server.Url("/news.xml") + " HTTP");
    EXPECT_EQ(Window.KGW1.GetTodayCode(), 26);
    EXPECT_EQ(Window.KGW1.GetTodayNow(), "12");
    EXPECT_EQ(Window.KGW1.GetTomorrowCode(), 11);
    EXPECT_EQ(Window.KGW1.GetTomorrowLow(), "3");
    EXPECT_EQ(Window.KGW1.GetTomorrowHi(), "9");
    ExpectNews();
}

TEST_F(FeedFetch, NewsAndWeatherThroughTinyproxy)
{
    if (!nettest::ChildServer::Installed(nettest::kTinyproxy))
        GTEST_SKIP() << "tinyproxy is not installed (apt-get install tinyproxy)";
    nettest::ChildServer proxy;
    ASSERT_TRUE(nettest::StartTinyproxy(proxy)) << proxy.ReadFile("stderr.log");
    Server.Reply("/forecastrss?p=AFXX0005&u=c", HttpReply("200 OK", "", WeatherBody("30")));
    Window.Settings.UseProxy = 1;
    Window.Settings.Proxy = "127.0.0.1";
    Window.Settings.Port = std::to_string(proxy.Port());
    EXPECT_EQ(FetchNews(Window.HTTP1, Window.Settings, Window.KGR1, Window.NewsLink), "");
    ExpectNews();
    EXPECT_EQ(FetchWeatherFrom(Window.HTTP1, Window.Settings, Server.Url("/forecastrss?p=AFXX0005&u=c"), Window.KGW1),
              "");
    EXPECT_EQ(Window.KGW1.GetTomorrowCode(), 30);
    ASSERT_EQ(Server.Requests().size(), 2u);
    EXPECT_EQ(Server.Requests()[1].substr(0, 33), "GET /forecastrss?p=AFXX0005&u=c H");
}

TEST_F(FeedFetch, SocketErrorsKeepTheValuesAndTheCycle)
{
    Window.Settings.ShowWeather = Window.Settings.ShowNews = 1;
    Window.Settings.RSS_Url = "http://127.0.0.1:" + std::to_string(nettest::UnusedLoopbackPort()) + "/news.xml";
    Window.KGR1.SetNameNews("Before");
    Window.NewsLink = "http://before/";
    EXPECT_EQ(FetchNews(Window.HTTP1, Window.Settings, Window.KGR1, Window.NewsLink), "Connection Failed");
    EXPECT_FALSE(Window.HTTP1.Connected());
    EXPECT_EQ(Window.KGR1.GetNameNews(), "Before");
    EXPECT_EQ(Window.NewsLink, "http://before/");
    EXPECT_EQ(Window.KGR1.GetRssLine(), kNewsNotAvailable);
    // A proxy that is not there: the weather fetch fails the same way and the tick goes on.
    Window.Settings.UseProxy = 1;
    Window.Settings.Proxy = "127.0.0.1";
    Window.Settings.Port = std::to_string(nettest::UnusedLoopbackPort());
    WeatherHTTP thread(plat::App(), Window.Targets(), true);
    thread.FeedTick();
    EXPECT_EQ(Window.KGW1.GetTodayNow(), "NA");
    EXPECT_GE(Window.KGW1.RefreshCounter, 1);
}

TEST_F(FeedFetch, AnyErrorCostsOneFetchAndTheCycleGoesOn)
{
    Window.Settings.ShowWeather = Window.Settings.ShowNews = 1;
    UseServerAsProxy();
    Server.Reply(kWeatherTarget, HttpReply("200 OK", "", WeatherBody("n/a")));
    Server.Reply(Server.Url("/news.xml"), HttpReply("200 OK", "", kNewsXml));
    WeatherHTTP thread(plat::App(), Window.Targets(), true);
    // A weather code that is not a number: what came before it stays, and the news still comes.
    EXPECT_NO_THROW(thread.FeedTick());
    EXPECT_EQ(Window.KGW1.GetTodayCode(), 26);
    EXPECT_EQ(Window.KGW1.GetTomorrowCode(), 48);
    ExpectNews();
    // An empty address and a proxy port that is not a number end their fetches alone.
    Window.KGW1.RefreshCounter = 0;
    Window.Settings.RSS_Url = "";
    EXPECT_NO_THROW(thread.FeedTick());
    Window.KGW1.RefreshCounter = 0;
    Window.Settings.Port = "80x";
    EXPECT_NO_THROW(thread.FeedTick());
    EXPECT_EQ(Server.Requests().size(), 3u);
    ExpectNews();
    EXPECT_EQ(Window.KGW1.RefreshCounter, 1);
}

TEST_F(FeedFetch, TerminateDuringASlowFetchCancelsIt)
{
    Window.Settings.ShowWeather = Window.Settings.ShowNews = 1;
    UseServerAsProxy();
    Server.Route(kWeatherTarget, [](nettest::FixtureConnection& Connection) {
        Connection.Send("HTTP/1.0 200 OK\r\n");
        Connection.HoldOpen(4000);
    });
    WeatherHTTP thread(plat::App(), Window.Targets());
    std::chrono::steady_clock::time_point asked;
    // The exit comes the way it does in the saver: from the UI thread's messages inside the fetch.
    const int timer = plat::App().SetTimer(300, [&] {
        if (asked == std::chrono::steady_clock::time_point{} && !Server.Requests().empty()) {
            asked = std::chrono::steady_clock::now();
            thread.Terminate();
        }
    });
    const bool finished = PumpUntilFinished(thread, 3s);
    plat::App().KillTimer(timer);
    ASSERT_TRUE(finished);
    ASSERT_NE(asked, std::chrono::steady_clock::time_point{});
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);
    EXPECT_EQ(Server.Requests().size(), 1u);
    EXPECT_FALSE(Window.HTTP1.Connected());
}

}  // namespace
