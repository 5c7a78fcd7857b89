// Every outside host the program talks to or sends the user to. Kept in one place so that moving
// a service is a one-line change.
#pragma once

namespace hosts {

// Weather site: the forecast pages opened with F3 ("/forecast/<code>.html").
inline constexpr const char* kWeatherSite = "http://weather.kestrin-software.net";
// Weather feed server ("/forecastrss?p=<code>&u=<unit>").
inline constexpr const char* kWeatherFeedHost = "weather.kestrin-software.net";
// News server of the default channel address.
inline constexpr const char* kNewsHost = "news.kestrin-software.net";
// Online directory of news channels read by the configuration dialog.
inline constexpr const char* kNewsDirectoryHost = "directory.kestrin-software.net";

// The catalogue of our screensavers, opened by the dialog's "More screensavers".
inline constexpr const char* kCatalogueSite = "http://www.kestrin-software.net/screensavers/";

}  // namespace hosts
