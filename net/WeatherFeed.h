// The RSS weather feed: today's condition and tomorrow's forecast handed to the weather gadget.
// It is read when the "WeatherFeed" setting names a server of this format; otherwise the live
// source of OpenMeteo.h is.
//
// The reply is read as text: the first "<?" must open the XML declaration, the
// "<yweather:condition" element gives today's code and temperature, the second
// "<yweather:forecast" element tomorrow's code, low and high. Anything else than an XML document
// hands over the not-available values (codes 48, texts "NA"). A code that is not a whole number
// (or missing, when the reply is XML) raises EConvertError after what came before it was handed
// over; socket errors and time-outs leave the gadget as it was.
#pragma once

#include "net/FeedRequest.h"

#include <string>
#include <string_view>

class THttpClient;
class TWeatherValues;

// "http://" + the WeatherFeed setting (the feed server) + "/forecastrss?p=" + WeatherCode + "&u=" + TDegree, as stored.
std::string WeatherAddress(const TFeedSettings& Settings);

// Prepares HTTP1, gets the weather address and reads the reply into Weather. Returns the text of a
// socket error or time-out that ended the fetch, else empty.
std::string FetchWeather(THttpClient& HTTP1, const TFeedSettings& Settings, TWeatherValues& Weather);
// The same for any address.
std::string FetchWeatherFrom(THttpClient& HTTP1, const TFeedSettings& Settings, const std::string& Address,
                             TWeatherValues& Weather);
// Codes 48 and "NA" texts, in the order the gadget is given them.
void HandOverNotAvailable(TWeatherValues& Weather);
// Reads a reply body into Weather.
void ReadWeather(std::string_view Body, TWeatherValues& Weather);
