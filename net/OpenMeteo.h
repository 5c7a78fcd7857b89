// The live weather source: a forecast service that answers JSON over https.
//
// The request asks for the current temperature, weather code and day/night flag, and for
// today's and tomorrow's daily code, high and low, in the unit of TDegree, at the coordinates of
// the city whose location code is WeatherCode. The reply is read with a JSON parser: each value
// the reply lacks (or gives with the wrong type) hands over its not-available value (code 48,
// text "NA"); a reply that is not a JSON object, or is larger than 1 MiB, hands over all of
// them; a byte that is no UTF-8, or a raw control byte, in one of its texts costs nothing else.
// Temperatures are handed over as whole degrees; one that is not a finite number within
// ±200 degrees is not available. The service's weather codes (WMO) become the gadget's condition codes
// through LiveConditionCode. Socket errors and time-outs leave the gadget as it was.
#pragma once

#include "net/FeedRequest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class THttpClient;
class TWeatherValues;

// The request address for Settings' place and unit; nothing when WeatherCode names no city.
std::optional<std::string> LiveWeatherAddress(const TFeedSettings& Settings);

// Prepares HTTP1, gets the live address and reads the reply into Weather (a place that is not in
// the tables gives the not-available values). Returns the text of a socket error or time-out.
std::string FetchLiveWeather(THttpClient& HTTP1, const TFeedSettings& Settings, TWeatherValues& Weather);
// The same for any address.
std::string FetchLiveWeatherFrom(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                                 TWeatherValues& Weather);
// Reads a reply body into Weather.
void ReadLiveWeather(std::string_view Body, TWeatherValues& Weather);

// The weather site's forecast page for the place and unit of Settings: the coordinates of the
// WeatherCode city (the site's own guess of the place when the code names no city).
std::string ForecastPageAddress(const std::string& WeatherCode, const std::string& TDegree);

// A WMO weather code as the gadget's condition code (0-47), in its day or night picture; 48 for
// a code the table does not know.
int32_t LiveConditionCode(int64_t WmoCode, bool IsDay);
