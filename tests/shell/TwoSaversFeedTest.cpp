// Two saver windows in one process, each on its own application object, with feeds from a local
// nginx: each window shows its own feed's values, and a slow download of one keeps that window's
// own application's messages flowing (its waits pump their own application, no other).
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "shell/Scene.h"
#include "shell/Unit1.h"
#include "tests/net/ChildServer.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::string WeatherXml(const std::string& Now)
{
    return "<?xml version=\"1.0\"?><rss><yweather:condition code=\"26\" temp=\"" + Now +
        "\"/><yweather:forecast code=\"1\" low=\"0\" high=\"5\"/>"
        "<yweather:forecast code=\"30\" low=\"1\" high=\"9\"/></rss>";
}

// Padding makes the download last a while at the server's rate limit.
std::string NewsXml(const std::string& Title, size_t Padding)
{
    return "<?xml version=\"1.0\"?><rss><channel><title>" + Title +
        "</title><link>http://n/</link>"
        "<item><title>" +
        Title + " item</title></item></channel></rss><!--" + std::string(Padding, 'x') + "-->";
}

class TwoSaversWithFeeds : public TempConfigHome {
protected:
    // A running saver window whose feeds are the server's files under Path; the settings are read
    // at its start, so the next window may be given other ones.
    std::unique_ptr<TForm1> Start(plat::Application& App, const std::string& Path)
    {
        const std::string server = "127.0.0.1:" + std::to_string(Nginx.Port()) + Path;
        WriteKey("\"Brightness\"=dword:00000100\n\"SoundVolume\"=dword:00000000\n\"TDegree\"=\"c\"\n"
                 "\"WeatherCode\"=\"20001\"\n\"RSS_Url\"=\"http://" +
                 server +
                 "/news.xml\"\n"
                 "\"ShowTime\"=dword:00000001\n\"ShowWeather\"=dword:00000001\n\"ShowNews\"=dword:00000001\n"
                 "\"ShowBlack\"=dword:00000000\n\"UseProxy\"=dword:00000000\n\"Proxy\"=\"\"\n\"Port\"=\"\"\n"
                 "\"WeatherFeed\"=\"" +
                 server + "\"\n");
        auto form = std::make_unique<TForm1>(nullptr, App, std::make_unique<plat::HeadlessScreen>());
        form->FormCreate(form.get());
        return form;
    }

    static bool Shows(TForm1& Form, const std::string& Title, const std::string& Now)
    {
        return Form.Scene->KGR1->GetNameNews() == Title && Form.Scene->KGW1->GetTodayNow() == Now;
    }

    nettest::ChildServer Nginx;
};

}  // namespace

TEST_F(TwoSaversWithFeeds, EachShowsItsOwnValuesWhileItsOwnMessagesFlow)
{
    SKIP_WITHOUT(nettest::kNginx);
    Nginx.WriteFile("www/a/forecastrss", WeatherXml("11"));
    Nginx.WriteFile("www/a/news.xml", NewsXml("Channel A", 6000));
    Nginx.WriteFile("www/b/forecastrss", WeatherXml("22"));
    Nginx.WriteFile("www/b/news.xml", NewsXml("Channel B", 0));
    ASSERT_TRUE(nettest::StartNginx(Nginx,
                                    " server { listen 127.0.0.1:" + std::to_string(Nginx.Port()) + "; root " +
                                        Nginx.Dir() +
                                        "/www; default_type text/xml;\n"
                                        "  location /a/ { limit_rate 4k; }\n }\n"))
        << Nginx.ReadFile("error.log");
    plat::Application appA;
    plat::Application appB;
    auto formA = Start(appA, "/a");
    auto formB = Start(appB, "/b");

    // Without nesting, a pass fires a timer at most once; more ticks in one pass of A's are
    // ticks fired by the waits of A's download.
    int ticks = 0;
    int mostInOnePass = 0;
    const int timer = appA.SetTimer(5, [&ticks] { ++ticks; });
    for (const auto until = std::chrono::steady_clock::now() + 30s;
         !(Shows(*formA, "Channel A", "11") && Shows(*formB, "Channel B", "22")) &&
         std::chrono::steady_clock::now() < until;) {
        const int before = ticks;
        appA.ProcessMessages();
        mostInOnePass = std::max(mostInOnePass, ticks - before);
        appB.ProcessMessages();
        std::this_thread::sleep_for(2ms);
    }
    appA.KillTimer(timer);

    EXPECT_TRUE(Shows(*formA, "Channel A", "11")) << formA->Scene->KGR1->GetNameNews();
    EXPECT_TRUE(Shows(*formB, "Channel B", "22")) << formB->Scene->KGR1->GetNameNews();
    EXPECT_EQ(formA->Scene->KGR1->GetRssLine(), "  ***  Channel A item  ***  ");
    EXPECT_EQ(formB->Scene->KGW1->GetTomorrowHi(), "9");
    EXPECT_GE(mostInOnePass, 2);
    formA->ExitSaver();
    formB->ExitSaver();
    EXPECT_TRUE(appA.Terminated());
    EXPECT_TRUE(appB.Terminated());
}
