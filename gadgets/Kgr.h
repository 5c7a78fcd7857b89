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
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "gadgets/HandOver.h"
#include "net/FeedValues.h"
#include "platform/gdi/TextLayout.h"
#include "sprites/Kim.h"

#include <cstdint>
#include <string>

class TKGR : public TKIM, public TNewsValues {
public:
    explicit TKGR(TComponent* AOwner);
    ~TKGR() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGR"; }

    void SetRssLine(const std::string& Text) override { StoreText(FRssLine, Text); }
    std::string GetRssLine() const { return FRssLine.Read()->Text(); }
    void SetNameNews(const std::string& Text) override { StoreText(FNameNews, Text); }
    std::string GetNameNews() const { return FNameNews.Read()->Text(); }

    void DrawRssNews();
    void ShowRssTitle(int32_t X, int32_t Y);
    void CreepingLine(const plat::TextLayout& Text, int32_t WindowLeft, int32_t WindowWidth, int32_t Y);

    // How many pixels the line has moved left from the window's right edge.
    int32_t GetScrollOffset() const { return ScrollOffset; }

private:
    static void StoreText(THandOver<plat::TextLayout>& Slot, const std::string& Text);

    THandOver<plat::TextLayout> FRssLine;
    THandOver<plat::TextLayout> FNameNews;
    int32_t ScrollOffset = 0;
};
