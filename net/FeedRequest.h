// What the feed readers need of the settings, and the preparation of the HTTP client that every
// feed request shares (the saver's weather and news fetches, the dialog's channel check).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class THttpClient;
class TKssSettings;

struct TFeedSettings {
    int32_t ShowWeather = 0;
    int32_t ShowNews = 0;
    std::string WeatherCode;
    std::string TDegree;
    std::string RSS_Url;
    std::string WeatherFeed;  // empty: the live weather source
    int32_t UseProxy = 0;
    std::string Proxy;
    std::string Port;
};

TFeedSettings FeedSettingsOf(const TKssSettings& Settings);

// TimeOut 5,000 ms, report level 2, the body kept in memory; with UseProxy nonzero the proxy host
// and the port converted to a number (EConvertError when it is not one). With UseProxy zero the
// client's proxy is left as it is.
void PrepareFeedClient(THttpClient& HTTP1, int32_t UseProxy, const std::string& Proxy, const std::string& Port);

// Prepares HTTP1 from Settings, gets Address and hands the body to Read; socket errors and
// time-outs as CatchSocketErrors has them (their text returned, else empty).
std::string FetchFeed(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                      const std::function<void(const std::string& Body)>& Read);

// Socket errors and time-outs end a feed fetch quietly: the connection is dropped, the client
// aborted, and the gadgets keep what they showed. Returns the error's text for callers that
// report it (the feed tool).
std::string CatchSocketErrors(THttpClient& HTTP1, const std::function<void()>& Run);
