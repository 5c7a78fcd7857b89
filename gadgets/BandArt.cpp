// The band's still art: lines by their distance from each pixel's centre, labels through the
// drawing context's anti-aliased text.
#include "gadgets/BandArt.h"

#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"

#include <algorithm>
#include <cmath>

namespace bandart {
namespace {

constexpr double kFrameTop = 3.5;  // the frames' top and bottom lines, from the plate's
constexpr double kFrameBottom = 65.5;
constexpr double kFrameRadius = 6.0;
constexpr double kClosedRight = 4.5;  // a closed frame's right side past the plate's edge
constexpr double kHairlineFade = 260.0;  // the hairline fades out over this much of each end
constexpr int kLabelHeight = 11;  // the labels' cell
constexpr double kLabelSpacing = 1.0;
constexpr double kLabelBaseline = 19.5;

// Lines are whole pixels wide and lie on whole pixels, so they are as crisp as the design's.
int LineWidth(double Scale)
{
    return std::max(1, static_cast<int>(std::lround(Scale)));
}

double OnPixels(double Centre, int Width)
{
    return std::round(Centre - Width / 2.0) + Width / 2.0;
}

uint8_t Channel(uint32_t P, int Shift)
{
    return static_cast<uint8_t>((P >> Shift) & 0xFF);
}

void Blend(uint32_t& P, uint32_t Colour, double Alpha)
{
    if (Alpha <= 0)
        return;
    uint32_t Out = 0;
    for (int Shift : {16, 8, 0}) {
        const double V = Channel(P, Shift) + (Channel(Colour, Shift) - Channel(P, Shift)) * std::min(Alpha, 1.0);
        Out |= static_cast<uint32_t>(std::lround(V)) << Shift;
    }
    P = Out;
}

uint32_t Mix(uint32_t A, uint32_t B, double T)
{
    uint32_t Out = A;
    Blend(Out, B, T);
    return Out;
}

// Distance from a point to the outline of a rounded rectangle (negative inside).
double RoundRectDistance(double X, double Y, double L, double T, double R, double B, double Radius)
{
    const double Qx = std::abs(X - (L + R) / 2) - ((R - L) / 2 - Radius);
    const double Qy = std::abs(Y - (T + B) / 2) - ((B - T) / 2 - Radius);
    return std::hypot(std::max(Qx, 0.0), std::max(Qy, 0.0)) + std::min(std::max(Qx, Qy), 0.0) - Radius;
}

// A line of Width pixels along a rounded rectangle's outline (window pixels), inside Clip, in a
// colour running from Top to Bottom down the rectangle.
void Outline(plat::Picture& Band, double L, double T, double R, double B, double Radius, int Width, uint32_t TopColour,
             uint32_t BottomColour, const plat::TRect& Clip)
{
    const plat::TRect Area = plat::Intersect(Clip, plat::TRect{0, 0, Band.Width(), Band.Height()});
    for (int y = Area.Top; y < Area.Bottom; ++y) {
        const uint32_t Colour = Mix(TopColour, BottomColour, std::clamp((y + 0.5 - T) / (B - T), 0.0, 1.0));
        uint32_t* Row = Band.Row(y);
        for (int x = Area.Left; x < Area.Right; ++x) {
            const double D = RoundRectDistance(x + 0.5, y + 0.5, L, T, R, B, Radius);
            Blend(Row[x], Colour, Width / 2.0 + 0.5 - std::abs(D));
        }
    }
}

}  // namespace

void Hairline(plat::Picture& Band, double Scale)
{
    const int W = LineWidth(Scale);
    const double Fade = kHairlineFade * Scale;
    for (int y = 0; y < std::min(3 * W, Band.Height()); ++y) {
        uint32_t* Row = Band.Row(y);
        const bool Gold = y >= W && y < 2 * W;
        for (int x = 0; x < Band.Width(); ++x) {
            const double Ends = std::min(x, Band.Width() - 1 - x) / Fade;
            if (Gold)
                Blend(Row[x], Mix(0, kGoldTop, 0.8), std::pow(std::clamp(Ends, 0.0, 1.0), 0.7));
            else
                Blend(Row[x], kDeep, 0.7);
        }
    }
}

void Frame(plat::Picture& Band, const TPlate& Plate, double Scale)
{
    const int W = LineWidth(Scale);
    const double L = OnPixels((Plate.Left + Plate.Inset) * Scale, W);
    const double T = OnPixels(kFrameTop * Scale, W);
    const double B = OnPixels(kFrameBottom * Scale, W);
    const double Radius = kFrameRadius * Scale;
    // An open frame's right side lies out of reach, past the clip at the plate's edge.
    const double RightEdge = Plate.Right * Scale;
    const double R = Plate.Closed ? OnPixels((Plate.Right + kClosedRight) * Scale, W) : RightEdge + Radius + 2 * W;
    const plat::TRect Clip{static_cast<int32_t>(std::floor(L)) - W, 0,
                           static_cast<int32_t>(std::ceil(Plate.Closed ? R + W : RightEdge)), Band.Height()};
    Outline(Band, L, T, R, B, Radius, W, kGoldTop, kGoldBottom, Clip);
}

void Tile(plat::Picture& Band, const plat::TRect& Icon, double Scale)
{
    const int W = LineWidth(Scale);
    // The line lies just outside the icon's square.
    const double Half = W / 2.0;
    Outline(Band, Icon.Left - Half, Icon.Top - Half, Icon.Right + Half, Icon.Bottom + Half, 0.0, W, kTileTrim,
            kTileTrim, plat::TRect{Icon.Left - W, Icon.Top - W, Icon.Right + W, Icon.Bottom + W});
}

double Label(plat::FontCache& Fonts, plat::DrawContext& Dc, const char* Text, double X, double Scale, bool Centre)
{
    plat::Font* Font = Fonts.CreateFontA(static_cast<int>(std::lround(kLabelHeight * Scale)), 0, 0, 0, plat::FW_BOLD, 0,
                                         0, 0, plat::ANSI_CHARSET, plat::OUT_DEFAULT_PRECIS, plat::CLIP_DEFAULT_PRECIS,
                                         plat::PROOF_QUALITY, plat::VARIABLE_PITCH, "Arial");
    Dc.SelectObject(Font);
    Dc.SetBkMode(plat::TRANSPARENT);
    Dc.SetTextColor(plat::PixelToColor(kLabel));
    const auto Advance = [&](char C) {
        plat::TSize Size;
        Dc.GetTextExtentPoint32A(&C, 1, &Size);
        return Size.cx + kLabelSpacing * Scale;
    };
    double Width = -kLabelSpacing * Scale;
    for (const char* C = Text; *C != '\0'; ++C)
        Width += Advance(*C);
    double Pen = Centre ? X * Scale - Width / 2 : X * Scale;
    const int Top = static_cast<int>(std::lround(kLabelBaseline * Scale)) - (Font != nullptr ? Font->Ascent() : 0);
    for (const char* C = Text; *C != '\0'; ++C) {
        Dc.TextOutA(static_cast<int>(std::lround(Pen)), Top, C, 1);
        Pen += Advance(*C);
    }
    Dc.SelectObject(nullptr);
    plat::DeleteObject(Font);
    return (Pen - kLabelSpacing * Scale) / Scale;
}

void Diamond(plat::Picture& Band, double X, double Y, double Radius, double Scale)
{
    const double Cx = X * Scale, Cy = Y * Scale, R = Radius * Scale;
    const int Reach = static_cast<int>(std::ceil(R)) + 1;
    for (int y = static_cast<int>(Cy) - Reach; y <= static_cast<int>(Cy) + Reach; ++y) {
        if (y < 0 || y >= Band.Height())
            continue;
        for (int x = static_cast<int>(Cx) - Reach; x <= static_cast<int>(Cx) + Reach; ++x) {
            if (x < 0 || x >= Band.Width())
                continue;
            const double D = (std::abs(x + 0.5 - Cx) + std::abs(y + 0.5 - Cy) - R) / std::sqrt(2.0);
            Blend(Band.Row(y)[x], kLabel, 0.5 - D);
        }
    }
}

}  // namespace bandart
