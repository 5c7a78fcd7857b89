// Every outside host the program talks to or sends the user to. Kept in one place so that moving
// a service is a one-line change.
#pragma once

namespace hosts {

// Weather site: the forecast page opened with F3, for a place given by its coordinates
// ("/<latitude>,<longitude>", "?m" for metric units, "?u" for US ones).
inline constexpr const char* kWeatherSite = "https://wttr.in";
// The live weather source's forecast API ("/v1/forecast?latitude=..."); the RSS weather feed
// server is the "WeatherFeed" setting.
inline constexpr const char* kLiveWeatherHost = "api.open-meteo.com";
// News server of the default channel address ("/news?ned=us&topic=w&output=rss"), which it
// answers, through redirects, with its world news in RSS.
inline constexpr const char* kNewsHost = "news.google.com";
// Online directory of news channels read by the configuration dialog.
inline constexpr const char* kNewsDirectoryHost = "directory.kestrin-software.net";

// The catalogue of our screensavers, opened by the dialog's "More screensavers".
inline constexpr const char* kCatalogueSite = "http://www.kestrin-software.net/screensavers/";

}  // namespace hosts
