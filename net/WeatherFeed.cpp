#include "net/WeatherFeed.h"

#include "engine/StrToInt.h"
#include "gadgets/Kgw.h"
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

void HandOverNotAvailable(TKGW& KGW1)
{
    KGW1.SetTodayCode(kNotAvailableCode);
    KGW1.SetTomorrowCode(kNotAvailableCode);
    KGW1.SetTodayNow("NA");
    KGW1.SetTomorrowHi("NA");
    KGW1.SetTomorrowLow("NA");
}

std::string WeatherAddress(const TFeedSettings& Settings)
{
    return "http://" + Settings.WeatherFeed + "/forecastrss?p=" + Settings.WeatherCode +
           "&u=" + Settings.TDegree;
}

std::string FetchWeather(THttpClient& HTTP1, const TFeedSettings& Settings, TKGW& KGW1)
{
    return FetchWeatherFrom(HTTP1, Settings, WeatherAddress(Settings), KGW1);
}

std::string FetchWeatherFrom(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                             TKGW& KGW1)
{
    return FetchFeed(HTTP1, Settings, Address, [&](const std::string& Body) { ReadWeather(Body, KGW1); });
}

// Working texts keep what they held when a cut finds nothing: a second forecast without a code
// hands over the condition's code again, a single forecast stands for tomorrow too.
void ReadWeather(std::string_view Body, TKGW& KGW1)
{
    std::string_view body = Body;
    std::string_view token, element, temperature, low, high;
    CutBetween(body, "<?", " ", token);
    if (token != "xml") {
        HandOverNotAvailable(KGW1);
        return;
    }
    body = CutBetween(body, "<yweather:condition", "/>", element);
    Attribute(element, "code", token);
    KGW1.SetTodayCode(StrToInt(token));
    Attribute(element, "temp", temperature);
    body = CutBetween(body, "<yweather:forecast", "/>", element);
    body = CutBetween(body, "<yweather:forecast", "/>", element);
    Attribute(element, "code", token);
    KGW1.SetTomorrowCode(StrToInt(token));
    Attribute(element, "low", low);
    Attribute(element, "high", high);
    KGW1.SetTodayNow(std::string(temperature));
    KGW1.SetTomorrowLow(std::string(low));
    KGW1.SetTomorrowHi(std::string(high));
}
