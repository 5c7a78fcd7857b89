// The clock: the time text in pieces, the blinking colon and the grey 12-hour suffix.
#include "gadgets/Kgc.h"

#include "gadgets/GadgetDraw.h"
#include "platform/types/Invariant.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr int32_t kRightInset = 113;
constexpr int32_t kBottomInset = 42;
constexpr int32_t kBoxWidth = 106;
constexpr int kFontHeight = 22;
constexpr int32_t kColonMs = 500;
constexpr size_t kTimeBuffer = 256;
constexpr plat::COLORREF kWhite = 0xFFFFFF;
constexpr plat::COLORREF kGrey = 0x808080;

int32_t Extent(plat::DrawContext& Dc, std::string_view Text)
{
    plat::TSize Size;
    Dc.GetTextExtentPoint32A(Text.data(), static_cast<int>(Text.size()), &Size);
    return Size.cx;
}

void Out(plat::DrawContext& Dc, int32_t X, int32_t Y, std::string_view Text)
{
    Dc.TextOutA(X, Y, Text.data(), static_cast<int>(Text.size()));
}

// The pieces one after another in Buffer, which holds twice the time text.
std::string_view Join(char (&Buffer)[2 * kTimeBuffer + 2], std::initializer_list<std::string_view> Pieces)
{
    size_t Length = 0;
    for (std::string_view Piece : Pieces) {
        plat::CheckFits(Length + Piece.size(), sizeof Buffer, "time text");
        Piece.copy(Buffer + Length, Piece.size());
        Length += Piece.size();
    }
    return std::string_view(Buffer, Length);
}

// UTF-8 continuation bytes do not start a character.
size_t Characters(std::string_view Text)
{
    return static_cast<size_t>(
        std::count_if(Text.begin(), Text.end(), [](char C) { return (static_cast<unsigned char>(C) & 0xC0) != 0x80; }));
}

}  // namespace

std::string_view Parse1(std::string_view Text, std::string_view StartMarker, std::string_view EndMarker,
                        std::string_view& Head)
{
    size_t From = 0;
    if (StartMarker != "BEGIN") {
        const size_t Start = Text.find(StartMarker);
        From = Start == std::string_view::npos ? 0 : Start + StartMarker.size();
    }
    const size_t At = Text.find(EndMarker, From);
    if (At == std::string_view::npos) {
        Head = std::string_view();
        return Text;
    }
    Head = Text.substr(0, At);
    return Text.substr(At + EndMarker.size());
}

void TKGC::DrawGadgetClock()
{
    TKss* Kss = Host();
    if (Kss == nullptr)
        return;
    const int32_t X0 = Kss->GetWidthScreen() - kRightInset;
    const int32_t Y0 = Kss->GetHeightScreen() - kBottomInset;
    char T[kTimeBuffer];
    const size_t N = FTimeFormat.Format(LocalTime(), T, sizeof T);
    gadgets::WithBackContext(Kss, [&](plat::DrawContext& Dc) {
        CountBlink();
        DrawTime(Dc, X0, Y0, std::string_view(T, N), kFontHeight, kBoxWidth);
    });
}

void TKGC::DrawOnBand(plat::DrawContext& Dc, int32_t X, int32_t Y, double Scale)
{
    if (Host() == nullptr)
        return;
    char T[kTimeBuffer];
    const size_t N = FTimeFormat.Format(LocalTime(), T, sizeof T);
    DrawTime(Dc, X, Y, std::string_view(T, N), static_cast<int>(std::lround(kFontHeight * Scale)),
             static_cast<int32_t>(std::lround(kBoxWidth * Scale)));
}

void TKGC::CountBlink()
{
    BlinkCount += 1;
    CurrentSecond = LocalTime().tm_sec;
    if (CurrentSecond != LastSecond)
        BlinkCount = 0;
    LastSecond = CurrentSecond;
}

void TKGC::DrawTime(plat::DrawContext& Dc, int32_t X0, int32_t Y0, std::string_view T, int FontHeight, int32_t BoxWidth)
{
    plat::Font* Font = gadgets::MyCreateFont(FFonts, "Arial", FontHeight, plat::FW_BOLD, Dc);
    Dc.SetBkMode(plat::TRANSPARENT);
    Dc.SetTextColor(kWhite);
    // Every piece is measured in the same font, so the whole text's centring holds for each.
    const int32_t X = X0 + (BoxWidth - Extent(Dc, T)) / 2;
    std::string_view Head;
    const std::string_view Rest = Parse1(T, "BEGIN", ":", Head);
    Out(Dc, X, Y0, Head);
    const int32_t W1 = Extent(Dc, Head);

    if (GetBlinkCount() < kColonMs / Host()->GetInterval())
        Out(Dc, X + W1, Y0, ":");

    char Buffer[2 * kTimeBuffer + 2];
    const int32_t W2 = Extent(Dc, Join(Buffer, {Head, ":"}));
    // "14:35" is five characters in any script; a longer text carries a 12-hour suffix.
    if (Characters(T) <= 5) {
        Out(Dc, X + W2, Y0, Rest);
    } else {
        std::string_view Minutes;
        const std::string_view Suffix = Parse1(Rest, "BEGIN", " ", Minutes);
        Out(Dc, X + W2, Y0, Minutes);
        Dc.SetTextColor(kGrey);
        const int32_t W3 = Extent(Dc, Join(Buffer, {Head, ":", Minutes}));
        Out(Dc, X + W3, Y0, Join(Buffer, {" ", Suffix}));
    }
    plat::DeleteObject(Font);
}
