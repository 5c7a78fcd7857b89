// The band's layout, its still base and the frame's copy of it with the gadgets over it.
#include "gadgets/Band.h"

#include "gadgets/BandArt.h"
#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "platform/gdi/DrawContext.h"
#include "platform/image/Resample.h"
#include "sprites/SceneLayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The design's band, which the gadgets are placed in.
using layout::kBandRows;
using layout::kDesignWidth;
using layout::kWeatherIconSize;

constexpr int32_t kEndMargin = 8;  // room for the rightmost gadget's closed side
constexpr double kInset = 3.5;  // the frames' left sides
constexpr double kClockInset = 6.5;  // clear of the weather's range text that may run over
constexpr uint32_t kSolidTop = 0x1B1829;  // the solid panel, lit a little from above
constexpr uint32_t kSolidBottom = 0x0C0B15;

int32_t Px(double Design, double Scale)
{
    return static_cast<int32_t>(std::lround(Design * Scale));
}

}  // namespace

void TBand::Build(const plat::FrameLayout& Layout, const TGadgets& Gadgets, const plat::Picture& Glass,
                  int32_t GlassOrigin, const plat::Picture& Icons)
{
    FBase = plat::Picture();
    FGadgets = Gadgets;
    if (Layout.Overlay.Empty() || (!Gadgets.Clock && !Gadgets.Weather && !Gadgets.News))
        return;
    FScale = Layout.Scale();
    DrawBackground(Layout, Gadgets.Glass, Glass, GlassOrigin);
    // The design's band, its right end moved to the band's (less the closed side's room); the
    // ticker stretches between its design left edge and its neighbour.
    const double BandWidth = Layout.Overlay.Width() / FScale;
    const double Shift = BandWidth - kEndMargin - kDesignWidth;
    const double NewsRight = Gadgets.NewsX + Gadgets.NewsWidth + Shift;
    Place(Gadgets.ClockX + Shift, Gadgets.WeatherX + Shift, Gadgets.NewsX, NewsRight);
    DrawStill(Gadgets.ClockX + Shift, Gadgets.WeatherX + Shift, Gadgets.NewsX, NewsRight);
    ScaleIcons(Icons);
    if (Gadgets.Weather)
        Gadgets.Weather->SetBandScale(FScale);
    if (Gadgets.News)
        Gadgets.News->SetBandScale(FScale);
}

void TBand::DrawBackground(const plat::FrameLayout& Layout, bool Glass, const plat::Picture& GlassPicture,
                           int32_t GlassOrigin)
{
    const int32_t W = Layout.Overlay.Width(), H = Layout.Overlay.Height();
    if (Glass && !GlassPicture.Empty()) {
        // The glass behind the band's whole width: from the column of the scene under its left edge.
        const int32_t Left = GlassOrigin + Px((Layout.Overlay.Left - Layout.Picture.Left) / FScale, 1.0);
        FBase = plat::Resample(GlassPicture, plat::TRect{Left, 0, Left + Px(W / FScale, 1.0), kBandRows}, W, H);
        return;
    }
    FBase = plat::Picture(W, H, "TBitmap");
    for (int32_t y = 0; y < H; ++y) {
        const double T = H > 1 ? static_cast<double>(y) / (H - 1) : 0.0;
        uint32_t Colour = 0;
        for (int Shift : {16, 8, 0}) {
            const double Top = (kSolidTop >> Shift) & 0xFF, Bottom = (kSolidBottom >> Shift) & 0xFF;
            Colour |= static_cast<uint32_t>(std::lround(Top + (Bottom - Top) * T)) << Shift;
        }
        std::fill(FBase.Row(y), FBase.Row(y) + W, Colour);
    }
}

void TBand::Place(double ClockX, double WeatherX, double NewsX, double NewsRight)
{
    const int32_t H = Px(kBandRows - 1, FScale);
    const auto Plate = [&](bool On, double Left, double Right) {
        return On ? plat::TRect{Px(Left, FScale), 0, Px(Right, FScale), H} : plat::TRect{};
    };
    FClockPlate = Plate(FGadgets.Clock, ClockX, ClockX + FGadgets.ClockWidth);
    FWeatherPlate = Plate(FGadgets.Weather, WeatherX, WeatherX + FGadgets.WeatherWidth);
    FNewsPlate = Plate(FGadgets.News, NewsX, NewsRight);
}

void TBand::DrawStill(double ClockX, double WeatherX, double NewsX, double NewsRight)
{
    bandart::Hairline(FBase, FScale);
    const double ClockRight = ClockX + FGadgets.ClockWidth, WeatherRight = WeatherX + FGadgets.WeatherWidth;
    const double Rightmost = std::max(
        {FGadgets.Clock ? ClockRight : 0.0, FGadgets.Weather ? WeatherRight : 0.0, FGadgets.News ? NewsRight : 0.0});
    plat::DrawContext Dc(FBase);
    if (FGadgets.News) {
        bandart::Frame(FBase, {NewsX, NewsRight, kInset, NewsRight == Rightmost}, FScale);
        const double End = bandart::Label(FFonts, Dc, "NEWS", NewsX + 15, FScale);
        bandart::Diamond(FBase, (End + NewsX + 90) / 2, 16.0, 2.5, FScale);
    }
    if (FGadgets.Weather) {
        bandart::Frame(FBase, {WeatherX, WeatherRight, kInset, WeatherRight == Rightmost}, FScale);
        bandart::Label(FFonts, Dc, "WEATHER", WeatherX + 15, FScale);
        bandart::Label(FFonts, Dc, "TODAY", WeatherX + 153, FScale);
        bandart::Label(FFonts, Dc, "TOMORROW", WeatherX + 265, FScale);
        const int32_t Size = Px(kWeatherIconSize, FScale);
        for (int32_t Offset : {94, 206}) {
            const int32_t X = FWeatherPlate.Left + Px(Offset, FScale), Y = Px(8, FScale);
            bandart::Tile(FBase, plat::TRect{X, Y, X + Size, Y + Size}, FScale);
        }
    }
    if (FGadgets.Clock) {
        bandart::Frame(FBase, {ClockX, ClockRight, kClockInset, ClockRight == Rightmost}, FScale);
        bandart::Label(FFonts, Dc, "TIME", ClockX + 57, FScale, true);
    }
}

void TBand::ScaleIcons(const plat::Picture& Icons)
{
    FIconSize = Px(kWeatherIconSize, FScale);
    const int32_t Side = Icons.Width();
    const int32_t Count = Side > 0 ? Icons.Height() / Side : 0;
    FIcons = plat::Picture(FIconSize, FIconSize * Count, "TBitmap");
    plat::DrawContext Dc(FIcons);
    for (int32_t i = 0; i < Count; ++i) {
        const plat::Picture Icon =
            plat::Resample(Icons, plat::TRect{0, i * Side, Side, (i + 1) * Side}, FIconSize, FIconSize);
        Dc.Draw(0, i * FIconSize, Icon);
    }
}

void TBand::Paint(uint32_t* Pixels, int Pitch)
{
    if (FBase.Empty())
        return;
    const int32_t W = FBase.Width(), H = FBase.Height();
    for (int32_t y = 0; y < H; ++y)
        std::memcpy(Pixels + static_cast<size_t>(y) * static_cast<size_t>(Pitch), FBase.Row(y),
                    static_cast<size_t>(W) * 4);
    plat::DrawContext Dc(Pixels, W, H, Pitch);
    if (FGadgets.News)
        FGadgets.News->DrawOnBand(Dc, FNewsPlate);
    if (FGadgets.Weather)
        FGadgets.Weather->DrawOnBand(Dc, FWeatherPlate.Left, 0, FIcons, FIconSize);
    if (FGadgets.Clock)
        FGadgets.Clock->DrawOnBand(Dc, FClockPlate.Left + Px(4, FScale), Px(28, FScale), FScale);
}
