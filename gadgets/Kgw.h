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
// DrawOnBand draws the same icons and texts into the gadget band at the screen's resolution
// (TBand); the texts are measured for the band's font too, once SetBandScale gave its size.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "gadgets/HandOver.h"
#include "net/FeedValues.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "sprites/Kim.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace plat {
class DrawContext;
class Picture;
}  // namespace plat

class TKMV;

class TKGW : public TKIM, public TWeatherValues {
public:
    // Fonts: the application's, which the texts are measured and drawn with.
    TKGW(TComponent* AOwner, plat::FontCache& AFonts);
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

    // The strip of weather condition icons (one square frame of layout::kWeatherIconSize per condition code); borrowed.
    void SetWeatherPicVCL(TKMV* Icons) { FWeatherPicVCL = Icons; }
    TKMV* GetWeatherPicVCL() const { return FWeatherPicVCL; }

    void DrawGadgetWeather();

    // The band's scale (screen pixels per design pixel); the texts are measured for it from now
    // on. UI thread, before the frames that draw the band.
    void SetBandScale(double Scale);
    // The gadget in the band, its plate's top-left corner at (X, Y), at the band's scale; Icons
    // holds the 49 condition icons IconSize pixels square, stacked top to bottom.
    void DrawOnBand(plat::DrawContext& Dc, int32_t X, int32_t Y, const plat::Picture& Icons, int32_t IconSize);

private:
    // The texts as set, and as drawn: TodayNow + "°" and TomorrowLow + "..." + TomorrowHi + "°",
    // at the design's size and at the band's (BandHeight, 0 before SetBandScale).
    struct TWeatherTexts {
        std::string TodayNow;
        std::string TomorrowHi;
        std::string TomorrowLow;
        plat::TextLayout Now;
        plat::TextLayout Range;
        int BandHeight = 0;
        plat::TextLayout NowBand;
        plat::TextLayout RangeBand;
    };
    TWeatherTexts Compose(std::string TodayNow, std::string TomorrowHi, std::string TomorrowLow, int BandHeight) const;
    void StoreText(std::string TWeatherTexts::*Field, const std::string& Text);
    void DrawIcon(TKMV& Icons, int32_t X, int32_t Y, std::atomic<int32_t>& Code);

    plat::FontCache& FFonts;  // before the texts, which are measured with it
    TKMV* FWeatherPicVCL = nullptr;
    double FBandScale = 1.0;
    std::atomic<int32_t> FTodayCode{48};
    std::atomic<int32_t> FTomorrowCode{48};
    THandOver<TWeatherTexts> FTexts;
};
