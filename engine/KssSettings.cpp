// The settings primitives over the platform's per-user key, and the load with its first-use
// defaults.
#include "engine/KssSettings.h"

#include "engine/HostNames.h"
#include "platform/registry/UserKey.h"

#include <cstdio>

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

bool TKssSettings::ReadOptionalRKey(const std::string& ValueName, int32_t& Value) const
{
    const auto Key = plat::UserKey::Open(KeyPath());
    if (!Key)
        return false;
    if (Key->ValueExists(ValueName))
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

void TKssSettings::PutValue(plat::UserKey& Key, const TSettingValue& Value) const
{
    if (const auto* Number = std::get_if<int32_t>(&Value.Value))
        Key.WriteInteger(Value.Name, *Number);
    else
        Key.WriteString(Value.Name, std::get<std::string>(Value.Value));
}

void TKssSettings::WriteValues(const std::vector<TSettingValue>& Values) const
{
    StoreValues(Values, false);
}

void TKssSettings::StoreValues(const std::vector<TSettingValue>& Values, bool Reset) const
{
    const auto NotSaved = [](const std::string& File, const std::string& Reason) {
        return ERegistryException("The settings were not saved.\n\n" + (File.empty() ? std::string() : File + ": ") +
                                  Reason + ".");
    };
    plat::KeyFailure Failure;
    const auto Key = plat::UserKey::Create(KeyPath(), &Failure);
    if (!Key)
        throw NotSaved(Failure.FileName, Failure.Reason);
    try {
        Key->BeginUpdate();
        if (Reset)
            Key->KeepPreviousAside();
        for (const TSettingValue& Value : Values)
            PutValue(*Key, Value);
        Key->EndUpdate();
    } catch (const ERegistryException& Error) {
        throw NotSaved(Key->FileName(), Key->StoreFailure().empty() ? Error.what() : Key->StoreFailure());
    }
}

// The load reads the key once and finds each value in it, however many values the file holds;
// re-reading the file for each value made a large key cost minutes at every saver start.
// "Brightness" is the mark that settings exist: without it (no key, or a key someone filled by
// hand) the defaults are written, so its absence must not raise the missing-value error that a
// plain integer read gives. A "Brightness" of the wrong type still raises.
void TKssSettings::SetRegistry()
{
    const auto Key = plat::UserKey::Open(KeyPath());
    if (Key && Key->ValueExists("Brightness"))
        LoadStored(*Key);
    else
        StoreDefaults();
}

void TKssSettings::LoadStored(const plat::UserKey& Key)
{
    FBrightness = Key.ReadInteger("Brightness");
    FSoundVolume = Key.ReadInteger("SoundVolume");
    FTDegree = Key.ReadString("TDegree");
    FWeatherCode = Key.ReadString("WeatherCode");
    FRSS_Url = Key.ReadString("RSS_Url");
    FWeatherFeed = Key.ReadString("WeatherFeed");
    FShowTime = Key.ReadInteger("ShowTime");
    FShowWeather = Key.ReadInteger("ShowWeather");
    FShowNews = Key.ReadInteger("ShowNews");
    FShowBlack = Key.ReadInteger("ShowBlack");
    FUseProxy = Key.ReadInteger("UseProxy");
    FProxy = Key.ReadString("Proxy");
    FPort = Key.ReadString("Port");
}

// The defaults go to the key in one write. Twelve separate writes, cut off half-way (the session
// ends, the saver is killed), would leave a key with "Brightness" but without the later values, and
// every later load would stop at the first missing one. A key that holds values but no
// "Brightness" was written by a person: it is kept beside the new one.
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
    try {
        StoreValues({{"Brightness", FBrightness},
                     {"SoundVolume", FSoundVolume},
                     {"TDegree", FTDegree},
                     {"WeatherCode", FWeatherCode},
                     {"RSS_Url", FRSS_Url},
                     {"ShowTime", FShowTime},
                     {"ShowWeather", FShowWeather},
                     {"ShowNews", FShowNews},
                     {"ShowBlack", FShowBlack},
                     {"UseProxy", FUseProxy},
                     {"Proxy", FProxy},
                     {"Port", FPort}},
                    true);
    } catch (const ERegistryException& Error) {
        // The saver runs on the defaults in memory; the next start tries the write again.
        std::fprintf(stderr, "%s\n", Error.what());
    }
}
