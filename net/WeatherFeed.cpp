#include "net/WeatherFeed.h"

#include "engine/StrToInt.h"
#include "net/FeedValues.h"
#include "net/Httpclient.h"
#include "net/TextCut.h"

namespace {

constexpr int32_t kNotAvailableCode = 48;

// The value of Name="..." in Element written into Value; unchanged when there is none.
void Attribute(std::string_view Element, std::string_view Name, std::string_view& Value)
{
    std::string start(Name);
    start += "=\"";
    CutBetween(Element, start, "\"", Value);
}

}  // namespace

void HandOverNotAvailable(TWeatherValues& Weather)
{
    Weather.SetTodayCode(kNotAvailableCode);
    Weather.SetTomorrowCode(kNotAvailableCode);
    Weather.SetTodayNow("NA");
    Weather.SetTomorrowHi("NA");
    Weather.SetTomorrowLow("NA");
}

std::string WeatherAddress(const TFeedSettings& Settings)
{
    return "http://" + Settings.WeatherFeed + "/forecastrss?p=" + Settings.WeatherCode + "&u=" + Settings.TDegree;
}

std::string FetchWeather(THttpClient& HTTP1, const TFeedSettings& Settings, TWeatherValues& Weather)
{
    return FetchWeatherFrom(HTTP1, Settings, WeatherAddress(Settings), Weather);
}

std::string FetchWeatherFrom(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                             TWeatherValues& Weather)
{
    return FetchFeed(HTTP1, Settings, Address, [&](const std::string& Body) { ReadWeather(Body, Weather); });
}

// Working texts keep what they held when a cut finds nothing: a second forecast without a code
// hands over the condition's code again, a single forecast stands for tomorrow too.
void ReadWeather(std::string_view Body, TWeatherValues& Weather)
{
    std::string_view body = Body;
    std::string_view token, element, temperature, low, high;
    CutBetween(body, "<?", " ", token);
    if (token != "xml") {
        HandOverNotAvailable(Weather);
        return;
    }
    body = CutBetween(body, "<yweather:condition", "/>", element);
    Attribute(element, "code", token);
    Weather.SetTodayCode(StrToInt(token));
    Attribute(element, "temp", temperature);
    body = CutBetween(body, "<yweather:forecast", "/>", element);
    body = CutBetween(body, "<yweather:forecast", "/>", element);
    Attribute(element, "code", token);
    Weather.SetTomorrowCode(StrToInt(token));
    Attribute(element, "low", low);
    Attribute(element, "high", high);
    Weather.SetTodayNow(std::string(temperature));
    Weather.SetTomorrowLow(std::string(low));
    Weather.SetTomorrowHi(std::string(high));
}
