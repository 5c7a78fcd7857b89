// TKGR, the news ticker gadget: a still-image sprite whose picture is the ticker's background,
// placed by the scene in the gadget panel and drawn with the inherited DrawImage. DrawRssNews then
// draws the channel title in grey and the line of news titles creeping from right to left through
// a 545-pixel window, 2 pixels a frame, starting again at the right once it has passed; a new line
// takes over where the old one was and does not restart the scroll.
//
// The setters run on the UI thread (the news reader) while frames draw on the frame thread. Each
// text travels as an immutable measured text (plat::TextLayout) through a THandOver, so a frame
// neither allocates, nor waits, nor measures: a line of any length costs the glyphs that show.
//
// DrawOnBand draws the title and the line into the gadget band at the screen's resolution (TBand,
// on the main thread while the screen shows a frame), the line creeping by the same whole number
// of screen pixels for every frame drawn, so it moves evenly at any scale and keeps the frames'
// pace; the texts are measured for the band's font too once SetBandScale gave its size.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "gadgets/HandOver.h"
#include "net/FeedValues.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/types/Geometry.h"
#include "sprites/Kim.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace plat {
class DrawContext;
}

class TKGR : public TKIM, public TNewsValues {
public:
    // Fonts: the application's, which the texts are measured and drawn with.
    TKGR(TComponent* AOwner, plat::FontCache& AFonts);
    ~TKGR() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGR"; }

    void SetRssLine(const std::string& Text) override { StoreText(FRssLine, Text); }
    std::string GetRssLine() const { return FRssLine.Read()->Design.Text(); }
    void SetNameNews(const std::string& Text) override { StoreText(FNameNews, Text); }
    std::string GetNameNews() const { return FNameNews.Read()->Design.Text(); }

    void DrawRssNews();
    void ShowRssTitle(int32_t X, int32_t Y);
    void CreepingLine(const plat::TextLayout& Text, int32_t WindowLeft, int32_t WindowWidth, int32_t Y);

    // How many pixels the line has moved left from the window's right edge.
    int32_t GetScrollOffset() const { return ScrollOffset; }

    // The band's scale (screen pixels per design pixel); the texts are measured for it from now
    // on. UI thread, before the frames that draw the band.
    void SetBandScale(double Scale);
    // The title and the creeping line in the band, in the plate Plate, at the band's scale.
    void DrawOnBand(plat::DrawContext& Dc, const plat::TRect& Plate);
    // How many screen pixels the band's line has moved, and by how many each frame drawn.
    int32_t GetBandScroll() const { return FBandScroll; }
    int32_t GetBandStep() const { return FBandStep; }

private:
    // A text measured for the design's font and for the band's (Band empty before SetBandScale).
    struct TTickerText {
        plat::TextLayout Design;
        plat::TextLayout Band;
        int BandHeight = 0;
    };
    void StoreText(THandOver<TTickerText>& Slot, const std::string& Text);
    TTickerText Measured(std::string Text) const;

    // Before the texts: their first measuring reads them.
    plat::FontCache& FFonts;
    int FBandHeight = 0;
    double FBandScale = 1.0;
    THandOver<TTickerText> FRssLine;
    THandOver<TTickerText> FNameNews;
    int32_t ScrollOffset = 0;
    // Frames drawn (frame thread), and how many of them the band's line has moved for (main thread).
    std::atomic<int32_t> FFramesDrawn{0};
    int32_t FBandFrames = 0;
    int32_t FBandScroll = 0;
    int32_t FBandStep = 2;
};
