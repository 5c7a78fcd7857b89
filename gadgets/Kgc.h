// TKGC, the clock gadget: a still-image sprite whose picture is the clock's background plate,
// placed by the scene at the right end of the gadget panel and drawn with the inherited
// DrawImage; DrawGadgetClock then writes the local time over it, straight onto the host's back
// surface. The text is tied to the screen's bottom-right corner and centred in a box 106 pixels
// wide: the hours and minutes in white, the colon between them shown for the first 500 ms worth of
// frames of every second, and a 12-hour suffix such as PM in grey.
//
// The time text is the locale's own short time format (plat::TimeFormat): the locale's default
// time format without its seconds. Everything runs on the frame thread; a frame allocates nothing.
//
// DrawOnBand draws the same text into the gadget band at the screen's resolution (TBand, on the
// main thread while the screen shows a frame), with the colon the last frame showed.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "platform/gdi/Font.h"
#include "platform/locale/TimeFormat.h"
#include "sprites/Kim.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string_view>

namespace plat {
class DrawContext;
}

// Splits Text at the first occurrence of EndMarker, searched from StartMarker on ("BEGIN": from
// the start): Head gets the part before it and the result is the part after it. Without an
// occurrence, Head is empty and the result is the whole text. Both are views into Text.
std::string_view Parse1(std::string_view Text, std::string_view StartMarker, std::string_view EndMarker,
                        std::string_view& Head);

class TKGC : public TKIM {
public:
    // Fonts: the application's, which the clock draws its text with.
    TKGC(TComponent* AOwner, plat::FontCache& AFonts) : TKIM(AOwner), FFonts(AFonts) {}
    ~TKGC() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGC"; }

    void DrawGadgetClock();
    // The clock in the band: the text centred in its box, whose top-left corner is (X, Y), at
    // Scale times the design's size.
    void DrawOnBand(plat::DrawContext& Dc, int32_t X, int32_t Y, double Scale);

    // Frames drawn since the local time's second last changed.
    int32_t GetBlinkCount() const { return BlinkCount.load(std::memory_order_relaxed); }

    // The time format and the clock it reads; set before the frames run (tests give their own).
    void SetTimeFormat(plat::TimeFormat Format) { FTimeFormat = std::move(Format); }
    std::function<std::tm()> LocalTime = plat::LocalNow;

private:
    void DrawTime(plat::DrawContext& Dc, int32_t X0, int32_t Y0, std::string_view T, int FontHeight, int32_t BoxWidth);
    void CountBlink();

    plat::FontCache& FFonts;
    plat::TimeFormat FTimeFormat;
    // Written by the frames, read by the band's painter.
    std::atomic<int32_t> BlinkCount{0};
    int32_t CurrentSecond = 0;
    int32_t LastSecond = 0;
};
