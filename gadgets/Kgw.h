// TKGW, the weather gadget: a still-image sprite whose picture is the weather panel's background,
// placed by the scene in the gadget panel and drawn with the inherited DrawImage. DrawGadgetWeather
// then draws today's and tomorrow's condition icons from a separate strip sprite,
// `WeatherPicVCL`, and the temperatures: today's with a degree sign, tomorrow's as low...high
// with a degree sign, in white.
//
// Codes are 0..47 for a condition and 48 for "not available"; a code above 47 is drawn as 48 and
// kept as 48. The setters run on the UI thread (the feed readers) while frames draw on the frame
// thread: codes are atomics, and the texts travel as one immutable set, already measured and
// joined with their degree signs, through a THandOver, so a frame neither allocates nor waits.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "gadgets/HandOver.h"
#include "net/FeedValues.h"
#include "platform/gdi/TextLayout.h"
#include "sprites/Kim.h"

#include <atomic>
#include <cstdint>
#include <string>

class TKMV;

class TKGW : public TKIM, public TWeatherValues {
public:
    explicit TKGW(TComponent* AOwner);
    ~TKGW() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGW"; }

    void SetTodayCode(int32_t Code) override { FTodayCode = Code; }
    int32_t GetTodayCode() const { return FTodayCode; }
    void SetTomorrowCode(int32_t Code) override { FTomorrowCode = Code; }
    int32_t GetTomorrowCode() const { return FTomorrowCode; }
    void SetTodayNow(const std::string& Text) override { StoreText(&TWeatherTexts::TodayNow, Text); }
    std::string GetTodayNow() const { return FTexts.Read()->TodayNow; }
    void SetTomorrowHi(const std::string& Text) override { StoreText(&TWeatherTexts::TomorrowHi, Text); }
    std::string GetTomorrowHi() const { return FTexts.Read()->TomorrowHi; }
    void SetTomorrowLow(const std::string& Text) override { StoreText(&TWeatherTexts::TomorrowLow, Text); }
    std::string GetTomorrowLow() const { return FTexts.Read()->TomorrowLow; }

    // The strip of weather condition icons (one 52 x 52 frame per condition code); borrowed.
    void SetWeatherPicVCL(TKMV* Icons) { FWeatherPicVCL = Icons; }
    TKMV* GetWeatherPicVCL() const { return FWeatherPicVCL; }

    void DrawGadgetWeather();

private:
    // The texts as set, and as drawn: TodayNow + "°" and TomorrowLow + "..." + TomorrowHi + "°".
    struct TWeatherTexts {
        std::string TodayNow;
        std::string TomorrowHi;
        std::string TomorrowLow;
        plat::TextLayout Now;
        plat::TextLayout Range;
    };
    static TWeatherTexts Compose(std::string TodayNow, std::string TomorrowHi, std::string TomorrowLow);
    void StoreText(std::string TWeatherTexts::*Field, const std::string& Text);
    void DrawIcon(TKMV& Icons, int32_t X, int32_t Y, std::atomic<int32_t>& Code);

    TKMV* FWeatherPicVCL = nullptr;
    std::atomic<int32_t> FTodayCode{48};
    std::atomic<int32_t> FTomorrowCode{48};
    THandOver<TWeatherTexts> FTexts;
};
