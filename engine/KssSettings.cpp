// The settings primitives over the platform's per-user key, and the load with its first-use
// defaults.
#include "engine/KssSettings.h"

#include "engine/HostNames.h"
#include "platform/registry/UserKey.h"

#include <string_view>

namespace {

// First-use values; the show switches, "UseProxy", "Proxy" and "Port" start at zero or empty.
constexpr int32_t kDefaultBrightness = 256;
constexpr int32_t kDefaultSoundVolume = 200;
constexpr std::string_view kDefaultTDegree = "f";
constexpr std::string_view kDefaultWeatherCode = "20001";  // Washington, DC

std::string DefaultRssUrl()
{
    std::string Url = "http://";
    Url += hosts::kNewsHost;
    Url += "/news?ned=us&topic=w&output=rss";
    return Url;
}

}  // namespace

std::string TKssSettings::KeyPath() const
{
    return "SOFTWARE\\" + FBrandName + "\\" + FSSName;
}

bool TKssSettings::ReadRKey(const std::string& ValueName, int32_t& Value) const
{
    const auto Key = plat::UserKey::Open(KeyPath());
    if (!Key)
        return false;
    Value = Key->ReadInteger(ValueName);
    return true;
}

bool TKssSettings::ReadAKey(const std::string& ValueName, std::string& Value) const
{
    const auto Key = plat::UserKey::Open(KeyPath());
    if (!Key)
        return false;
    Value = Key->ReadString(ValueName);
    return true;
}

bool TKssSettings::WriteRKey(const std::string& ValueName, int32_t Value) const
{
    const auto Key = plat::UserKey::Create(KeyPath());
    if (!Key)
        return false;
    Key->WriteInteger(ValueName, Value);
    return true;
}

bool TKssSettings::WriteAKey(const std::string& ValueName, const std::string& Value) const
{
    const auto Key = plat::UserKey::Create(KeyPath());
    if (!Key)
        return false;
    Key->WriteString(ValueName, Value);
    return true;
}

// "Brightness" is the mark that settings exist: without it (no key, or a key someone filled by
// hand) the defaults are written, so its absence must not raise the missing-value error that a
// plain integer read gives. A "Brightness" of the wrong type still raises.
bool TKssSettings::ReadStoredBrightness(int32_t& Value) const
{
    const auto Key = plat::UserKey::Open(KeyPath());
    if (!Key || !Key->ValueExists("Brightness"))
        return false;
    Value = Key->ReadInteger("Brightness");
    return true;
}

void TKssSettings::SetRegistry()
{
    int32_t Stored = 0;
    if (ReadStoredBrightness(Stored))
        LoadStored(Stored);
    else
        StoreDefaults();
}

void TKssSettings::LoadStored(int32_t StoredBrightness)
{
    FBrightness = StoredBrightness;
    ReadRKey("SoundVolume", FSoundVolume);
    ReadAKey("TDegree", FTDegree);
    ReadAKey("WeatherCode", FWeatherCode);
    ReadAKey("RSS_Url", FRSS_Url);
    ReadRKey("ShowTime", FShowTime);
    ReadRKey("ShowWeather", FShowWeather);
    ReadRKey("ShowNews", FShowNews);
    ReadRKey("ShowBlack", FShowBlack);
    ReadRKey("UseProxy", FUseProxy);
    ReadAKey("Proxy", FProxy);
    ReadAKey("Port", FPort);
}

void TKssSettings::StoreDefaults()
{
    FBrightness = kDefaultBrightness;
    FSoundVolume = kDefaultSoundVolume;
    FTDegree = kDefaultTDegree;
    FWeatherCode = kDefaultWeatherCode;
    FRSS_Url = DefaultRssUrl();
    FShowTime = FShowWeather = FShowNews = FShowBlack = FUseProxy = 0;
    FProxy.clear();
    FPort.clear();
    WriteRKey("Brightness", FBrightness);
    WriteRKey("SoundVolume", FSoundVolume);
    WriteAKey("TDegree", FTDegree);
    WriteAKey("WeatherCode", FWeatherCode);
    WriteAKey("RSS_Url", FRSS_Url);
    WriteRKey("ShowTime", FShowTime);
    WriteRKey("ShowWeather", FShowWeather);
    WriteRKey("ShowNews", FShowNews);
    WriteRKey("ShowBlack", FShowBlack);
    WriteRKey("UseProxy", FUseProxy);
    WriteAKey("Proxy", FProxy);
    WriteAKey("Port", FPort);
}
