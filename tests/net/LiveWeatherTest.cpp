// The live weather source: its JSON read into the gadget's values, the request address, the
// built-in news directory, and the saver's own live fetch through a CONNECT proxy to local TLS.
#include "gadgets/Kgw.h"
#include "net/Httpclient.h"
#include "net/NewsDirectory.h"
#include "net/OpenMeteo.h"
#include "platform/net/TimerPump.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/TlsServers.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct TWeatherValues {
    int32_t TodayCode;
    std::string TodayNow;
    int32_t TomorrowCode;
    std::string TomorrowLow;
    std::string TomorrowHi;
    bool operator==(const TWeatherValues&) const = default;
};

void PrintTo(const TWeatherValues& V, std::ostream* Out)
{
    *Out << V.TodayCode << " " << V.TodayNow << " " << V.TomorrowCode << " " << V.TomorrowLow << ".." << V.TomorrowHi;
}

TWeatherValues ValuesOf(const TKGW& KGW1)
{
    return {KGW1.GetTodayCode(), KGW1.GetTodayNow(), KGW1.GetTomorrowCode(), KGW1.GetTomorrowLow(),
            KGW1.GetTomorrowHi()};
}

std::string Reply(const std::string& Current, const std::string& Daily)
{
    return R"({"latitude":38.9,"current_units":{"temperature_2m":"°F"},"current":{"time":"2026-12-08T12:00",)" +
        Current + R"(},"daily":{"time":["2026-12-08","2026-12-09"],)" + Daily + "}}";
}

const std::string kDaily = R"("weather_code":[61,3],"temperature_2m_max":[14.2,9.5],"temperature_2m_min":[5.1,-3.4])";
const TWeatherValues kNotAvailable{48, "NA", 48, "NA", "NA"};

TEST(LiveWeather, RepliesOfTheDocumentedFormat)
{
    const struct {
        std::string Body;
        TWeatherValues Expected;
    } cases[] = {
        {Reply(R"("temperature_2m":12.6,"weather_code":2,"is_day":1)", kDaily), {30, "13", 26, "-3", "10"}},
        {Reply(R"("temperature_2m":-0.4,"weather_code":0,"is_day":0)", kDaily), {31, "0", 26, "-3", "10"}},
        // A byte that is no UTF-8 and a raw tab in a text nobody reads cost nothing.
        {Reply(R"("note":"Z)"
               "\xFC"
               R"(rich	 \u00e9",)"
               R"("temperature_2m":12.6,"weather_code":2,"is_day":1)",
               kDaily),
         {30, "13", 26, "-3", "10"}},
        {Reply(R"("temperature_2m":"warm","is_day":1)", R"("weather_code":[61])"), kNotAvailable},
        {R"({"current":{"weather_code":95}})", {4, "NA", 48, "NA", "NA"}},
        {"<html><body>502 Bad Gateway</body></html>", kNotAvailable},
        {"[1,2,3]", kNotAvailable},
        {"", kNotAvailable},
        // Temperatures that are no reading, and a reply too large to be one.
        {Reply(R"("temperature_2m":9.3e18,"weather_code":2,"is_day":1)",
               R"("temperature_2m_max":[0,200.4],"temperature_2m_min":[0,-1e300])"),
         {30, "NA", 48, "NA", "NA"}},
        {Reply(R"("temperature_2m":-199.6,"weather_code":3)", "\"pad\":\"" + std::string(1 << 20, 'x') + "\""),
         kNotAvailable},
    };
    for (const auto& c : cases) {
        plat::FontCache Fonts;
        TKGW KGW1(nullptr, Fonts);
        KGW1.SetTodayNow("old");
        ReadLiveWeather(c.Body, KGW1);
        EXPECT_EQ(ValuesOf(KGW1), c.Expected) << c.Body;
    }
}

TEST(LiveWeather, EveryWmoCodeHasAConditionAndOthersAreNotAvailable)
{
    const int documented[] = {0,  1,  2,  3,  45, 48, 51, 53, 55, 56, 57, 61, 63, 65,
                              66, 67, 71, 73, 75, 77, 80, 81, 82, 85, 86, 95, 96, 99};
    std::set<int32_t> used;
    for (const int code : documented)
        for (const bool day : {true, false}) {
            const int32_t condition = LiveConditionCode(code, day);
            EXPECT_TRUE(condition >= 0 && condition <= 47) << code;
            used.insert(condition);
        }
    EXPECT_GE(used.size(), 20u);
    EXPECT_NE(LiveConditionCode(0, true), LiveConditionCode(0, false));
    for (const int64_t unknown : {-1, 4, 100, 1000000})
        EXPECT_EQ(LiveConditionCode(unknown, true), 48) << unknown;
}

TEST(LiveWeather, AddressCarriesThePlaceAndTheUnit)
{
    TFeedSettings settings;
    settings.WeatherCode = "20001";  // Washington, DC
    settings.TDegree = "f";
    const auto address = LiveWeatherAddress(settings);
    ASSERT_TRUE(address);
    EXPECT_EQ(address->substr(0, 51), "https://api.open-meteo.com/v1/forecast?latitude=38.");
    EXPECT_NE(address->find("&longitude=-77."), std::string::npos);
    EXPECT_NE(address->find("&temperature_unit=fahrenheit&"), std::string::npos);
    settings.TDegree = "c";
    EXPECT_NE(LiveWeatherAddress(settings)->find("&temperature_unit=celsius&"), std::string::npos);
    settings.WeatherCode = "NOWHERE1";
    EXPECT_FALSE(LiveWeatherAddress(settings));
    // F3's page: the same place on the weather site, or the site's own guess without one.
    const std::string page = ForecastPageAddress("20001", "c");
    EXPECT_EQ(page.substr(0, 19), "https://wttr.in/38.");
    EXPECT_NE(page.find(",-77."), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 2), "?m");
    EXPECT_EQ(ForecastPageAddress("NOWHERE1", "f"), "https://wttr.in/?u");
}

TEST(LiveWeather, TheSaversFetchThroughAConnectProxyToLocalTls)
{
    if (!nettest::ChildServer::Installed(nettest::kNginx))
        GTEST_SKIP() << "nginx is not installed";
    nettest::TlsServers servers;
    servers.WriteFile("v1/forecast", Reply(R"("temperature_2m":71.2,"weather_code":1,"is_day":1)", kDaily));
    ASSERT_TRUE(servers.Start()) << servers.Log();
    nettest::TrustOnly trust(servers.Ca().CaFile());
    nettest::FixtureServer proxy;
    proxy.Route("api.open-meteo.com:443", [&](nettest::FixtureConnection& Connection) {
        Connection.Tunnel(servers.Port(nettest::TlsServers::kGood));
    });
    TFeedSettings settings;
    settings.WeatherCode = "20001";
    settings.TDegree = "f";
    settings.UseProxy = 1;
    settings.Proxy = "127.0.0.1";
    settings.Port = std::to_string(proxy.Port());
    plat::TimerPump pump;
    THttpClient HTTP1(nullptr, pump);
    plat::FontCache Fonts;
    TKGW KGW1(nullptr, Fonts);
    EXPECT_EQ(FetchLiveWeather(HTTP1, settings, KGW1), "");
    EXPECT_EQ(ValuesOf(KGW1), (TWeatherValues{34, "71", 26, "-3", "10"}));
    // A failure keeps what the gadget shows.
    settings.Port = std::to_string(nettest::UnusedLoopbackPort());
    EXPECT_EQ(FetchLiveWeather(HTTP1, settings, KGW1), "Connection Failed");
    EXPECT_EQ(KGW1.GetTodayNow(), "71");
}

TEST(NewsDirectory, BuiltInWithoutAnyNetwork)
{
    const std::vector<TNewsCategory> directory = BuiltInNewsDirectory();
    ASSERT_GE(directory.size(), 12u);
    EXPECT_EQ(directory[0].Name, "World");
    for (const TNewsCategory& category : directory) {
        EXPECT_GE(category.Channels.size(), 2u) << category.Name;
        for (const TNewsChannel& channel : category.Channels) {
            EXPECT_FALSE(channel.Title.empty());
            EXPECT_EQ(channel.Address.substr(0, 8), "https://") << channel.Title;
        }
    }
    const auto read = ReadNewsDirectory("# c\nstray | https://x\n[ A ]\n\nT | https://t\nno bar\n");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].Name, "A");
    ASSERT_EQ(read[0].Channels.size(), 1u);
    EXPECT_EQ(read[0].Channels[0].Address, "https://t");
}

}  // namespace
