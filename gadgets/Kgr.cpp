// The news ticker: the channel title and the creeping line, clipped to its window.
#include "gadgets/Kgr.h"

#include "gadgets/GadgetDraw.h"

namespace {

constexpr const char* kFace = "Arial";
constexpr int kHeight = 16;
constexpr int32_t kWindowWidth = 545;
constexpr int32_t kHalfWindowHeight = 20;
constexpr int32_t kStep = 2;

plat::TextLayout Measured(std::string Text)
{
    return gadgets::MeasuredText(kFace, kHeight, plat::FW_BOLD, std::move(Text));
}

}  // namespace

TKGR::TKGR(TComponent* AOwner)
    : TKIM(AOwner), FRssLine(Measured("*** Not Available Now ***")), FNameNews(Measured(""))
{
}

void TKGR::StoreText(THandOver<plat::TextLayout>& Slot, const std::string& Text)
{
    Slot.Update([&](const plat::TextLayout& Old) -> std::optional<plat::TextLayout> {
        if (Old.Text() == Text)
            return std::nullopt;
        return Measured(Text);
    });
}

void TKGR::DrawRssNews()
{
    const int32_t X = GetShowX();
    const int32_t Y = GetShowY();
    ShowRssTitle(X + 90, Y + 7);
    const auto Line = FRssLine.Read();
    CreepingLine(*Line, X + 15, kWindowWidth, Y + 30);
}

void TKGR::ShowRssTitle(int32_t X, int32_t Y)
{
    const auto Title = FNameNews.Read();
    gadgets::WithBackContext(Host(), [&](plat::DrawContext& Dc) {
        plat::Font* Font = gadgets::MyCreateFont(kFace, kHeight, plat::FW_BOLD, Dc);
        Dc.SetBkMode(plat::TRANSPARENT);
        Dc.SetTextColor(0x999999);
        Dc.ExtTextOutA(X, Y, 0, nullptr, *Title);
        plat::DeleteObject(Font);
    });
}

void TKGR::CreepingLine(const plat::TextLayout& Text, int32_t WindowLeft, int32_t WindowWidth, int32_t Y)
{
    const plat::TRect Window{WindowLeft, Y - kHalfWindowHeight, WindowLeft + WindowWidth, Y + kHalfWindowHeight};
    const int32_t Right = WindowLeft + WindowWidth;
    gadgets::WithBackContext(Host(), [&](plat::DrawContext& Dc) {
        plat::Font* Font = gadgets::MyCreateFont(kFace, kHeight, plat::FW_BOLD, Dc);
        plat::TSize Size;
        Dc.GetTextExtentPoint32A(Text, &Size);
        ScrollOffset += kStep;
        if (ScrollOffset > WindowWidth + Size.cx)
            ScrollOffset = 0;
        Dc.SetBkMode(plat::TRANSPARENT);
        Dc.SetTextColor(0xFFFFFF);
        Dc.ExtTextOutA(Right - ScrollOffset, Y, plat::ETO_CLIPPED, &Window, Text);
        plat::DeleteObject(Font);
    });
}
