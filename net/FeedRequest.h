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
    // The client's time-out per wait, in ms; not a setting of the user's.
    int32_t TimeOut = 5000;
};

TFeedSettings FeedSettingsOf(const TKssSettings& Settings);

// TimeOut 5,000 ms, report level 2, the body kept in memory; with UseProxy nonzero the proxy host
// and the port converted to a number (EConvertError when it is not one from 1 to 65535). With UseProxy zero the
// client's proxy is left as it is.
void PrepareFeedClient(THttpClient& HTTP1, int32_t UseProxy, const std::string& Proxy, const std::string& Port);

// Prepares HTTP1 from Settings (PrepareFeedClient, then Settings.TimeOut), gets Address and
// hands the body to Read. Whatever ends it early is caught as CatchFetchErrors has it (its text
// returned, else empty).
std::string FetchFeed(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                      const std::function<void(const std::string& Body)>& Read);

// Gets Address; a reply that is not a success (an error page, a redirect not followed to its
// end, bytes without an HTTP status line) raises ESockError with the reply's status line, and one
// whose header the connection cut short raises "Reply header cut short", so that nobody reads it
// as the feed.
void GetFeedBody(THttpClient& HTTP1, const std::string& Address);

// Socket errors and time-outs end a feed fetch quietly: the connection is dropped, the client
// aborted, and the gadgets keep what they showed. Returns the error's text for callers that
// report it (the feed tool).
std::string CatchSocketErrors(THttpClient& HTTP1, const std::function<void()>& Run);

// The same for every error of a feed fetch: the address, a proxy port or a redirect's port that
// is not a number, an unreadable reply. One bad reply costs that fetch, never the later ones; the
// gadgets keep what was handed over before the error.
std::string CatchFetchErrors(THttpClient& HTTP1, const std::function<void()>& Run);
