// The news ticker: the channel title and the creeping line, clipped to its window.
#include "gadgets/Kgr.h"

#include "gadgets/GadgetDraw.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kFace = "Arial";
constexpr int kHeight = 16;
constexpr int32_t kWindowWidth = 545;
constexpr int32_t kHalfWindowHeight = 20;
constexpr int32_t kStep = 2;

// The band's room around the line, and the title's place, as in the design's plate.
constexpr int32_t kWindowLeft = 15;
constexpr int32_t kWindowRightMargin = 12;

}  // namespace

TKGR::TKGR(TComponent* AOwner, plat::FontCache& AFonts)
    : TKIM(AOwner), FFonts(AFonts), FRssLine(Measured("*** Not Available Now ***")), FNameNews(Measured(""))
{}

TKGR::TTickerText TKGR::Measured(std::string Text) const
{
    TTickerText Result{gadgets::MeasuredText(FFonts, kFace, kHeight, plat::FW_BOLD, Text), {}, FBandHeight};
    if (FBandHeight > 0)
        Result.Band = gadgets::MeasuredText(FFonts, kFace, FBandHeight, plat::FW_BOLD, std::move(Text));
    return Result;
}

void TKGR::StoreText(THandOver<TTickerText>& Slot, const std::string& Text)
{
    Slot.Update([&](const TTickerText& Old) -> std::optional<TTickerText> {
        if (Old.Design.Text() == Text && Old.BandHeight == FBandHeight)
            return std::nullopt;
        return Measured(Text);
    });
}

void TKGR::SetBandScale(double Scale)
{
    FBandScale = Scale;
    FBandHeight = static_cast<int>(std::lround(kHeight * Scale));
    // A whole number of screen pixels a frame, so the line moves evenly at any scale.
    FBandStep = std::max(1, static_cast<int>(std::lround(kStep * Scale)));
    for (THandOver<TTickerText>* Slot : {&FRssLine, &FNameNews})
        StoreText(*Slot, Slot->Read()->Design.Text());
}

void TKGR::DrawOnBand(plat::DrawContext& Dc, const plat::TRect& Plate)
{
    const auto At = [this](int32_t Offset) { return static_cast<int32_t>(std::lround(Offset * FBandScale)); };
    const auto Title = FNameNews.Read();
    const auto Line = FRssLine.Read();
    if (Title->BandHeight == 0 || Line->BandHeight == 0)
        return;
    plat::Font* Font = gadgets::MyCreateFont(FFonts, kFace, Line->BandHeight, plat::FW_BOLD, Dc);
    Dc.SetBkMode(plat::TRANSPARENT);
    Dc.SetTextColor(0x999999);
    Dc.ExtTextOutA(Plate.Left + At(90), Plate.Top + At(7), 0, nullptr, Title->Band);
    const int32_t WindowLeft = Plate.Left + At(kWindowLeft);
    const int32_t WindowRight = Plate.Right - At(kWindowRightMargin);
    const int32_t Y = Plate.Top + At(30);
    const plat::TRect Window{WindowLeft, Y - At(kHalfWindowHeight), WindowRight, Y + At(kHalfWindowHeight)};
    // By the frames drawn since the last paint, so that the line keeps the frames' pace however
    // often the screen shows one.
    const int32_t Frames = FFramesDrawn.load(std::memory_order_relaxed);
    FBandScroll += FBandStep * (Frames - FBandFrames);
    FBandFrames = Frames;
    if (FBandScroll > WindowRight - WindowLeft + Line->Band.Width())
        FBandScroll = 0;
    Dc.SetTextColor(0xFFFFFF);
    Dc.ExtTextOutA(WindowRight - FBandScroll, Y, plat::ETO_CLIPPED, &Window, Line->Band);
    plat::DeleteObject(Font);
}

void TKGR::DrawRssNews()
{
    const int32_t X = GetShowX();
    const int32_t Y = GetShowY();
    ShowRssTitle(X + 90, Y + 7);
    const auto Line = FRssLine.Read();
    CreepingLine(Line->Design, X + kWindowLeft, kWindowWidth, Y + 30);
}

void TKGR::ShowRssTitle(int32_t X, int32_t Y)
{
    const auto Title = FNameNews.Read();
    gadgets::WithBackContext(Host(), [&](plat::DrawContext& Dc) {
        plat::Font* Font = gadgets::MyCreateFont(FFonts, kFace, kHeight, plat::FW_BOLD, Dc);
        Dc.SetBkMode(plat::TRANSPARENT);
        Dc.SetTextColor(0x999999);
        Dc.ExtTextOutA(X, Y, 0, nullptr, Title->Design);
        plat::DeleteObject(Font);
    });
}

void TKGR::CreepingLine(const plat::TextLayout& Text, int32_t WindowLeft, int32_t WindowWidth, int32_t Y)
{
    const plat::TRect Window{WindowLeft, Y - kHalfWindowHeight, WindowLeft + WindowWidth, Y + kHalfWindowHeight};
    const int32_t Right = WindowLeft + WindowWidth;
    gadgets::WithBackContext(Host(), [&](plat::DrawContext& Dc) {
        plat::Font* Font = gadgets::MyCreateFont(FFonts, kFace, kHeight, plat::FW_BOLD, Dc);
        plat::TSize Size;
        Dc.GetTextExtentPoint32A(Text, &Size);
        ScrollOffset += kStep;
        FFramesDrawn.fetch_add(1, std::memory_order_relaxed);
        if (ScrollOffset > WindowWidth + Size.cx)
            ScrollOffset = 0;
        Dc.SetBkMode(plat::TRANSPARENT);
        Dc.SetTextColor(0xFFFFFF);
        Dc.ExtTextOutA(Right - ScrollOffset, Y, plat::ETO_CLIPPED, &Window, Text);
        plat::DeleteObject(Font);
    });
}
