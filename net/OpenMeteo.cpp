#include "net/OpenMeteo.h"

#include "assets/LocationTables.h"
#include "engine/HostNames.h"
#include "net/FeedValues.h"
#include "net/Httpclient.h"
#include "net/TextCut.h"
#include "net/WeatherFeed.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int32_t kNotAvailableCode = 48;
// The service's reply is a few kilobytes; a larger one is not read.
constexpr size_t kMaxReplyBytes = 1u << 20;
// Temperatures beyond this (in either unit) are no reading of this planet's weather.
constexpr double kMaxDegrees = 200;

struct TWmoCondition {
    int Wmo;
    int32_t Day;
    int32_t Night;
};

// WMO code -> condition code: clear and partly clear skies have night pictures of their own.
constexpr TWmoCondition kConditions[] = {
    {0, 32, 31},  {1, 34, 33},  {2, 30, 29},  {3, 26, 26},  {45, 20, 20}, {48, 20, 20}, {51, 9, 9},
    {53, 9, 9},   {55, 9, 9},   {56, 8, 8},   {57, 8, 8},   {61, 11, 11}, {63, 12, 12}, {65, 12, 12},
    {66, 10, 10}, {67, 10, 10}, {71, 13, 13}, {73, 16, 16}, {75, 41, 41}, {77, 13, 13}, {80, 40, 40},
    {81, 11, 11}, {82, 12, 12}, {85, 42, 42}, {86, 46, 46}, {95, 4, 4},   {96, 35, 35}, {99, 3, 3},
};

std::optional<size_t> CityIndexOf(const std::string& Code)
{
    const auto cities = assets::CityTable();
    for (size_t index = 0; index < cities.size(); ++index)
        if (assets::FieldText(cities[index].Code) == Code)
            return index;
    return std::nullopt;
}

const nlohmann::json* Field(const nlohmann::json& Object, const char* Name)
{
    if (!Object.is_object())
        return nullptr;
    const auto it = Object.find(Name);
    return it == Object.end() ? nullptr : &*it;
}

// Entry Index of the array Object.Name, when it is there.
const nlohmann::json* Entry(const nlohmann::json& Object, const char* Name, size_t Index)
{
    const nlohmann::json* array = Field(Object, Name);
    return array && array->is_array() && array->size() > Index ? &(*array)[Index] : nullptr;
}

std::string WholeDegrees(const nlohmann::json* Value)
{
    if (!Value || !Value->is_number())
        return "NA";
    const double degrees = Value->get<double>();
    if (!std::isfinite(degrees) || std::fabs(degrees) > kMaxDegrees)
        return "NA";
    return std::to_string(std::lround(degrees));
}

int32_t ConditionOf(const nlohmann::json* Code, bool IsDay)
{
    return Code && Code->is_number_integer() ? LiveConditionCode(Code->get<int64_t>(), IsDay) : kNotAvailableCode;
}

// A byte that is no UTF-8, or a raw control byte, in a string would make the whole reply
// unreadable; in a text we do not use it must not cost the values we do. Both become harmless
// (U+FFFD, a blank), and outside strings a blank is just white space.
std::string ParsableJson(std::string_view Body)
{
    std::string text = WellFormedUtf8(Body);
    std::replace_if(
        text.begin(), text.end(), [](char C) { return static_cast<unsigned char>(C) < ' '; }, ' ');
    return text;
}

}  // namespace

int32_t LiveConditionCode(int64_t WmoCode, bool IsDay)
{
    for (const TWmoCondition& condition : kConditions)
        if (condition.Wmo == WmoCode)
            return IsDay ? condition.Day : condition.Night;
    return kNotAvailableCode;
}

std::optional<std::string> LiveWeatherAddress(const TFeedSettings& Settings)
{
    const std::optional<size_t> index = CityIndexOf(Settings.WeatherCode);
    const std::optional<assets::TLatLon> place = index ? assets::CityCoordinates(*index) : std::nullopt;
    if (!place)
        return std::nullopt;
    char coordinates[64];
    std::snprintf(coordinates, sizeof coordinates, "latitude=%.4f&longitude=%.4f", place->Latitude, place->Longitude);
    return std::string("https://") + hosts::kLiveWeatherHost + "/v1/forecast?" + coordinates +
        "&current=temperature_2m,weather_code,is_day&daily=weather_code,temperature_2m_max,temperature_2m_min"
        "&temperature_unit=" +
        (Settings.TDegree == "c" ? "celsius" : "fahrenheit") + "&timezone=auto&forecast_days=2";
}

std::string ForecastPageAddress(const std::string& WeatherCode, const std::string& TDegree)
{
    const std::optional<size_t> index = CityIndexOf(WeatherCode);
    const std::optional<assets::TLatLon> place = index ? assets::CityCoordinates(*index) : std::nullopt;
    char coordinates[64] = "";
    if (place)
        std::snprintf(coordinates, sizeof coordinates, "%.4f,%.4f", place->Latitude, place->Longitude);
    return std::string(hosts::kWeatherSite) + "/" + coordinates + (TDegree == "c" ? "?m" : "?u");
}

std::string FetchLiveWeather(THttpClient& HTTP1, const TFeedSettings& Settings, TWeatherValues& Weather)
{
    const std::optional<std::string> address = LiveWeatherAddress(Settings);
    if (!address) {
        HandOverNotAvailable(Weather);
        return {};
    }
    return FetchLiveWeatherFrom(HTTP1, Settings, *address, Weather);
}

std::string FetchLiveWeatherFrom(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                                 TWeatherValues& Weather)
{
    return FetchFeed(HTTP1, Settings, Address, [&](const std::string& Body) { ReadLiveWeather(Body, Weather); });
}

void ReadLiveWeather(std::string_view Body, TWeatherValues& Weather)
{
    const nlohmann::json reply =
        Body.size() > kMaxReplyBytes ? nlohmann::json() : nlohmann::json::parse(ParsableJson(Body), nullptr, false);
    if (!reply.is_object()) {
        HandOverNotAvailable(Weather);
        return;
    }
    const nlohmann::json empty;
    const nlohmann::json* current = Field(reply, "current");
    const nlohmann::json* daily = Field(reply, "daily");
    const nlohmann::json& now = current ? *current : empty;
    const nlohmann::json& days = daily ? *daily : empty;
    // A missing day/night flag is taken for day: the day pictures are the plainer ones.
    const nlohmann::json* isDay = Field(now, "is_day");
    const bool day = !isDay || !isDay->is_number() || isDay->get<double>() != 0;
    Weather.SetTodayCode(ConditionOf(Field(now, "weather_code"), day));
    Weather.SetTomorrowCode(ConditionOf(Entry(days, "weather_code", 1), true));
    Weather.SetTodayNow(WholeDegrees(Field(now, "temperature_2m")));
    Weather.SetTomorrowLow(WholeDegrees(Entry(days, "temperature_2m_min", 1)));
    Weather.SetTomorrowHi(WholeDegrees(Entry(days, "temperature_2m_max", 1)));
}
