#include "net/FeedRequest.h"

#include "engine/KssSettings.h"
#include "engine/StrToInt.h"
#include "net/Httpclient.h"

namespace {

constexpr int32_t kFeedTimeOutMs = 5000;

}  // namespace

TFeedSettings FeedSettingsOf(const TKssSettings& Settings)
{
    TFeedSettings feed;
    feed.ShowWeather = Settings.GetShowWeather();
    feed.ShowNews = Settings.GetShowNews();
    feed.WeatherCode = Settings.GetWeatherCode();
    feed.TDegree = Settings.GetTDegree();
    feed.RSS_Url = Settings.GetRSS_Url();
    feed.WeatherFeed = Settings.GetWeatherFeed();
    feed.UseProxy = Settings.GetUseProxy();
    feed.Proxy = Settings.GetProxy();
    feed.Port = Settings.GetPort();
    return feed;
}

void PrepareFeedClient(THttpClient& HTTP1, int32_t UseProxy, const std::string& Proxy, const std::string& Port)
{
    HTTP1.TimeOut = kFeedTimeOutMs;
    HTTP1.InputFileMode = false;
    HTTP1.OutputFileMode = false;
    HTTP1.ReportLevel = 2;
    if (UseProxy != 0) {
        HTTP1.Proxy = Proxy;
        HTTP1.ProxyPort = StrToPort(Port);
    }
}

namespace {

std::string DropConnection(THttpClient& HTTP1, const std::exception& Error)
{
    try {
        HTTP1.Disconnect();
    } catch (const ESockError&) {
        // The connection is being dropped anyway; the first failure is the one that counts.
    }
    HTTP1.Abort();
    return Error.what();
}

}  // namespace

std::string CatchSocketErrors(THttpClient& HTTP1, const std::function<void()>& Run)
{
    try {
        Run();
        return {};
    } catch (const ESockError& error) {
        return DropConnection(HTTP1, error);
    }
}

std::string CatchFetchErrors(THttpClient& HTTP1, const std::function<void()>& Run)
{
    try {
        Run();
        return {};
    } catch (const std::exception& error) {
        return DropConnection(HTTP1, error);
    }
}

void GetFeedBody(THttpClient& HTTP1, const std::string& Address)
{
    HTTP1.Get(Address);
    const int16_t status = HTTP1.StatusCode();
    const std::string& header = HTTP1.Header;
    // A header the connection cut before its blank line has lost the body with it.
    if (!header.ends_with("\n\n") && !header.ends_with("\n\r\n"))
        throw ESockError("Reply header cut short");
    if (status >= 200 && status <= 299 && header.rfind("HTTP/", 0) == 0)
        return;
    std::string line = header.substr(0, header.find_first_of("\r\n"));
    if (line.empty() || line.size() > 200)
        line = "no HTTP reply";
    throw ESockError("The server answered: " + line);
}

std::string FetchFeed(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                      const std::function<void(const std::string& Body)>& Read)
{
    return CatchFetchErrors(HTTP1, [&] {
        PrepareFeedClient(HTTP1, Settings.UseProxy, Settings.Proxy, Settings.Port);
        HTTP1.TimeOut = Settings.TimeOut;
        GetFeedBody(HTTP1, Address);
        Read(HTTP1.Body);
    });
}
