// TKGW, the weather gadget: a still-image sprite whose picture is the weather panel's background,
// placed by the scene in the gadget panel and drawn with the inherited DrawImage. Its condition
// icons come from a separate strip sprite, `WeatherPicVCL`, which the scene prepares and hands it;
// the gadget draws the icons and texts over its plate once its own drawing exists.
//
// The setters run on the UI thread (the feed readers) while frames read the values on the frame
// thread. Codes are 0..47 for a condition and 48 for "not available".
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "sprites/Kim.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class TKMV;

class TKGW : public TKIM {
public:
    explicit TKGW(TComponent* AOwner) : TKIM(AOwner) {}
    ~TKGW() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGW"; }

    void SetTodayCode(int32_t Code) { FTodayCode = Code; }
    int32_t GetTodayCode() const { return FTodayCode; }
    void SetTomorrowCode(int32_t Code) { FTomorrowCode = Code; }
    int32_t GetTomorrowCode() const { return FTomorrowCode; }
    void SetTodayNow(const std::string& Text) { Store(FTodayNow, Text); }
    std::string GetTodayNow() const { return Load(FTodayNow); }
    void SetTomorrowHi(const std::string& Text) { Store(FTomorrowHi, Text); }
    std::string GetTomorrowHi() const { return Load(FTomorrowHi); }
    void SetTomorrowLow(const std::string& Text) { Store(FTomorrowLow, Text); }
    std::string GetTomorrowLow() const { return Load(FTomorrowLow); }

    // The strip of weather condition icons (one 52 x 52 frame per condition code); borrowed.
    void SetWeatherPicVCL(TKMV* Icons) { FWeatherPicVCL = Icons; }
    TKMV* GetWeatherPicVCL() const { return FWeatherPicVCL; }

    // Minutes counted by the feed thread to pace its downloads; the gadget never reads it.
    int32_t RefreshCounter = 0;

private:
    void Store(std::string& Field, const std::string& Text)
    {
        std::lock_guard<std::mutex> Lock(FTextLock);
        if (Field != Text)
            Field = Text;
    }
    std::string Load(const std::string& Field) const
    {
        std::lock_guard<std::mutex> Lock(FTextLock);
        return Field;
    }

    TKMV* FWeatherPicVCL = nullptr;
    std::atomic<int32_t> FTodayCode{48};
    std::atomic<int32_t> FTomorrowCode{48};
    mutable std::mutex FTextLock;
    std::string FTodayNow = "NA";
    std::string FTomorrowHi = "NA";
    std::string FTomorrowLow = "NA";
};
