#include "tools/feed/read/FeedRead.h"

#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "net/Httpclient.h"
#include "net/NewsFeed.h"
#include "net/OpenMeteo.h"
#include "net/WeatherFeed.h"
#include "platform/net/TimerPump.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

namespace {

struct TSource {
    bool IsAddress = false;
    std::string Body;  // the file's bytes
};

bool LoadSource(const std::string& Argument, TSource& Source)
{
    Source.IsAddress = Argument.find("://") != std::string::npos;
    if (Source.IsAddress)
        return true;
    std::ifstream file(Argument, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "solvane-feed: cannot read %s\n", Argument.c_str());
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    Source.Body = bytes.str();
    return true;
}

void PrintValue(const char* Name, const std::string& Value)
{
    std::printf("%s=%s\n", Name, EscapeValue(Value).c_str());
}

// Runs the read; what ends it (a socket error the fetch caught, or any error it let through) is
// returned as text, empty when it ran to its end.
std::string ErrorOf(const std::function<std::string()>& Read)
{
    try {
        return Read();
    } catch (const std::exception& error) {
        return error.what();
    }
}

// The live source's JSON when the reply's first byte after white space and a UTF-8 byte-order
// mark is "{", else the RSS weather feed.
void ReadAnyWeather(std::string_view Body, TKGW& KGW1)
{
    if (Body.substr(0, 3) == "\xEF\xBB\xBF")
        Body.remove_prefix(3);
    const size_t first = Body.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && Body[first] == '{')
        ReadLiveWeather(Body, KGW1);
    else
        ReadWeather(Body, KGW1);
}

int Finish(const std::string& Error)
{
    if (Error.empty())
        return 0;
    PrintValue("error", Error);
    return 1;
}

}  // namespace

std::string EscapeValue(const std::string& Value)
{
    std::string out;
    for (const unsigned char byte : Value) {
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 32 || byte > 126) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

int ReadNewsCommand(const std::string& Argument)
{
    TSource source;
    if (!LoadSource(Argument, source))
        return 2;
    plat::TimerPump pump;
    THttpClient client(nullptr, pump);
    plat::FontCache fonts;
    TKGR kgr(nullptr, fonts);
    std::string newsLink;
    TFeedSettings settings;
    settings.RSS_Url = Argument;
    const std::string error = ErrorOf([&]() -> std::string {
        if (source.IsAddress)
            return FetchNews(client, settings, kgr, newsLink);
        ReadNews(source.Body, kgr, newsLink);
        return {};
    });
    PrintValue("NameNews", kgr.GetNameNews());
    PrintValue("NewsLink", newsLink);
    PrintValue("RssLine", kgr.GetRssLine());
    return Finish(error);
}

int ReadWeatherCommand(const std::string& Argument)
{
    TSource source;
    if (!LoadSource(Argument, source))
        return 2;
    plat::TimerPump pump;
    THttpClient client(nullptr, pump);
    plat::FontCache fonts;
    TKGW kgw(nullptr, fonts);
    const std::string error = ErrorOf([&]() -> std::string {
        if (source.IsAddress)
            return FetchFeed(client, TFeedSettings{}, Argument,
                             [&](const std::string& Body) { ReadAnyWeather(Body, kgw); });
        ReadAnyWeather(source.Body, kgw);
        return {};
    });
    PrintValue("TodayCode", std::to_string(kgw.GetTodayCode()));
    PrintValue("TodayNow", kgw.GetTodayNow());
    PrintValue("TomorrowCode", std::to_string(kgw.GetTomorrowCode()));
    PrintValue("TomorrowLow", kgw.GetTomorrowLow());
    PrintValue("TomorrowHi", kgw.GetTomorrowHi());
    return Finish(error);
}

extern "C" __attribute__((visibility("default"))) int SolvaneFeedRead(const char* Command, const char* Source)
{
    return std::string(Command) == "news" ? ReadNewsCommand(Source) : ReadWeatherCommand(Source);
}
