// The settings primitives over the platform's per-user key, and the load with its first-use
// defaults.
#include "engine/KssSettings.h"

#include "engine/HostNames.h"
#include "platform/registry/UserKey.h"

namespace {

// First-use values; the show switches, "UseProxy", "Proxy" and "Port" start at zero or empty.
constexpr int32_t kDefaultBrightness = 256;
constexpr int32_t kDefaultSoundVolume = 200;
const std::string kDefaultTDegree = "f";
const std::string kDefaultWeatherCode = "20001";  // Washington, DC

}  // namespace

std::string DefaultRssUrl()
{
    // The news server answers http with a redirect to https; asking there saves the round trip.
    std::string Url = "https://";
    Url += hosts::kNewsHost;
    Url += "/news?ned=us&topic=w&output=rss";
    return Url;
}

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
    ReadAKey("WeatherFeed", FWeatherFeed);
    ReadRKey("ShowTime", FShowTime);
    ReadRKey("ShowWeather", FShowWeather);
    ReadRKey("ShowNews", FShowNews);
    ReadRKey("ShowBlack", FShowBlack);
    ReadRKey("UseProxy", FUseProxy);
    ReadAKey("Proxy", FProxy);
    ReadAKey("Port", FPort);
}

// The defaults go to the key in one write. Twelve separate writes, cut off half-way (the session
// ends, the saver is killed), would leave a key with "Brightness" but without the later values, and
// every later load would stop at the first missing one.
void TKssSettings::StoreDefaults()
{
    FBrightness = kDefaultBrightness;
    FSoundVolume = kDefaultSoundVolume;
    FTDegree = kDefaultTDegree;
    FWeatherCode = kDefaultWeatherCode;
    FRSS_Url = DefaultRssUrl();
    // "WeatherFeed" is not written: a key without it reads the live weather source.
    FWeatherFeed.clear();
    FShowTime = FShowWeather = FShowNews = FShowBlack = FUseProxy = 0;
    FProxy.clear();
    FPort.clear();
    const auto Key = plat::UserKey::Create(KeyPath());
    if (!Key)
        return;
    Key->BeginUpdate();
    Key->WriteInteger("Brightness", FBrightness);
    Key->WriteInteger("SoundVolume", FSoundVolume);
    Key->WriteString("TDegree", FTDegree);
    Key->WriteString("WeatherCode", FWeatherCode);
    Key->WriteString("RSS_Url", FRSS_Url);
    Key->WriteInteger("ShowTime", FShowTime);
    Key->WriteInteger("ShowWeather", FShowWeather);
    Key->WriteInteger("ShowNews", FShowNews);
    Key->WriteInteger("ShowBlack", FShowBlack);
    Key->WriteInteger("UseProxy", FUseProxy);
    Key->WriteString("Proxy", FProxy);
    Key->WriteString("Port", FPort);
    Key->EndUpdate();
}
