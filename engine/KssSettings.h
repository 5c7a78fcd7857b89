// The display host's settings: the twelve values of the saver's per-user key and the optional
// thirteenth, "WeatherFeed", the two names that
// locate the key, and the four primitives that read and write one value each.
//
// `TKss` inherits this, so the saver reads the settings as the host's properties
// (`Kss1->GetShowTime()`); the configuration dialog uses the same primitives on its own instance.
// Each primitive does one complete access of the key and keeps nothing between calls; failures of
// a value raise ERegistryException with the text the user is shown.
#pragma once

#include "platform/registry/RegistryException.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace plat {
class UserKey;
}

// The error of a failed value read or write; its text is meant for the user.
using ERegistryException = plat::ERegistryException;

// The brand and saver names that locate the settings (the key under the brand, named for the
// saver): the saver and the settings dialog both use these, so they always meet in one place.
inline constexpr const char* kBrandName = "Kestrin Software";
inline constexpr const char* kSaverName = "Solvane Screensaver";

// The news channel address a first use stores as "RSS_Url".
std::string DefaultRssUrl();

// The start after an idle time that the dialog sets: "StartAfterIdle" (0 or 1) and "IdleMinutes".
// Keys written before these existed lack them; such a key reads as off and the default minutes.
inline constexpr int32_t kDefaultIdleMinutes = 10;
inline constexpr int32_t kMinIdleMinutes = 1;
inline constexpr int32_t kMaxIdleMinutes = 120;

// One value of a save: an integer is stored as a DWORD, a text as REG_SZ.
struct TSettingValue {
    std::string Name;
    std::variant<int32_t, std::string> Value;
};

class TKssSettings {
public:
    virtual ~TKssSettings() = default;

    void SetBrandName(const std::string& Value) { FBrandName = Value; }
    void SetSSName(const std::string& Value) { FSSName = Value; }
    const std::string& GetBrandName() const { return FBrandName; }
    const std::string& GetSSName() const { return FSSName; }

    // Loads all twelve values from one read of the key, or writes the defaults (all in one write)
    // when the key holds no "Brightness"; a key with values but no "Brightness" is kept beside as
    // ".bad", and one that cannot be replaced stays as it is (the defaults then hold in memory).
    // Raises ERegistryException when a stored integer is missing or not a DWORD; the values read
    // before it keep their new values, the rest what they held.
    void SetRegistry();

    // Readers return false and leave Value untouched when the key does not exist. A missing text
    // reads as empty; a missing integer raises "Failed to get data for '%s'", a value of the wrong
    // type "Invalid data type for '%s'".
    bool ReadRKey(const std::string& ValueName, int32_t& Value) const;
    bool ReadAKey(const std::string& ValueName, std::string& Value) const;
    // ReadRKey for a value that older keys lack: a missing value is no error and leaves Value
    // untouched (a value of another type still raises).
    bool ReadOptionalRKey(const std::string& ValueName, int32_t& Value) const;
    // Writers return false when the key cannot be created and raise "Failed to set data for '%s'"
    // when the value cannot be stored.
    bool WriteRKey(const std::string& ValueName, int32_t Value) const;
    bool WriteAKey(const std::string& ValueName, const std::string& Value) const;
    // Stores Values in one replacement of the key: afterwards the key holds all of them, or (when
    // this raises) it is as it was. Waits once, boundedly, for another writer. Raises
    // ERegistryException with a text for the user that names the key's file and the reason:
    // "The settings were not saved.\n\n<file>: <reason>".
    void WriteValues(const std::vector<TSettingValue>& Values) const;

    void SetVolume(int32_t Value) { FSoundVolume = Value; }
    int32_t GetVolume() const { return FSoundVolume; }
    int32_t GetRGB() const { return FBrightness; }

    std::string GetTDegree() const { return FTDegree; }
    std::string GetWeatherCode() const { return FWeatherCode; }
    std::string GetRSS_Url() const { return FRSS_Url; }
    // The RSS weather feed server; empty (or absent from the key) means the live weather source.
    std::string GetWeatherFeed() const { return FWeatherFeed; }
    std::string GetProxy() const { return FProxy; }
    std::string GetPort() const { return FPort; }
    int32_t GetShowTime() const { return FShowTime; }
    int32_t GetShowWeather() const { return FShowWeather; }
    int32_t GetShowNews() const { return FShowNews; }
    int32_t GetShowBlack() const { return FShowBlack; }
    int32_t GetUseProxy() const { return FUseProxy; }

protected:
    // Puts one value of WriteValues into the key being updated; raises ERegistryException when the
    // value has no stored form.
    virtual void PutValue(plat::UserKey& Key, const TSettingValue& Value) const;

    // The brightness control sets this once the gamma ramp took the new slope.
    int32_t FBrightness = 256;
    int32_t FSoundVolume = 0;

private:
    std::string KeyPath() const;
    void LoadStored(const plat::UserKey& Key);
    // WriteValues; a Reset keeps the key's present file beside the new one.
    void StoreValues(const std::vector<TSettingValue>& Values, bool Reset) const;
    void StoreDefaults();

    std::string FBrandName;
    std::string FSSName;
    std::string FTDegree;
    std::string FWeatherCode;
    std::string FRSS_Url;
    std::string FWeatherFeed;
    std::string FProxy;
    std::string FPort;
    int32_t FShowTime = 0;
    int32_t FShowWeather = 0;
    int32_t FShowNews = 0;
    int32_t FShowBlack = 0;
    int32_t FUseProxy = 0;
};
