// The weather panel: two condition icons and two temperature texts over the plate.
#include "gadgets/Kgw.h"

#include "gadgets/GadgetDraw.h"
#include "platform/image/Picture.h"
#include "sprites/Kmv.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kNotAvailable = 48;
constexpr const char* kFace = "Arial";
constexpr int kHeight = 20;
constexpr const char* kDegree = "\xB0";  // the degree sign of the ANSI code page

}  // namespace

TKGW::TKGW(TComponent* AOwner, plat::FontCache& AFonts)
    : TKIM(AOwner), FFonts(AFonts), FTexts(Compose("NA", "NA", "NA", 0))
{}

TKGW::TWeatherTexts TKGW::Compose(std::string TodayNow, std::string TomorrowHi, std::string TomorrowLow,
                                  int BandHeight) const
{
    TWeatherTexts Texts{std::move(TodayNow), std::move(TomorrowHi), std::move(TomorrowLow), {}, {}, BandHeight, {}, {}};
    const std::string Now = Texts.TodayNow + kDegree;
    const std::string Range = Texts.TomorrowLow + "..." + Texts.TomorrowHi + kDegree;
    Texts.Now = gadgets::MeasuredText(FFonts, kFace, kHeight, plat::FW_BOLD, Now);
    Texts.Range = gadgets::MeasuredText(FFonts, kFace, kHeight, plat::FW_BOLD, Range);
    if (BandHeight > 0) {
        Texts.NowBand = gadgets::MeasuredText(FFonts, kFace, BandHeight, plat::FW_BOLD, Now);
        Texts.RangeBand = gadgets::MeasuredText(FFonts, kFace, BandHeight, plat::FW_BOLD, Range);
    }
    return Texts;
}

void TKGW::StoreText(std::string TWeatherTexts::*Field, const std::string& Text)
{
    FTexts.Update([&](const TWeatherTexts& Old) -> std::optional<TWeatherTexts> {
        if (Old.*Field == Text)
            return std::nullopt;
        TWeatherTexts New{Old.TodayNow, Old.TomorrowHi, Old.TomorrowLow, {}, {}, 0, {}, {}};
        New.*Field = Text;
        return Compose(std::move(New.TodayNow), std::move(New.TomorrowHi), std::move(New.TomorrowLow), Old.BandHeight);
    });
}

void TKGW::SetBandScale(double Scale)
{
    FBandScale = Scale;
    const int BandHeight = static_cast<int>(std::lround(kHeight * Scale));
    FTexts.Update([&](const TWeatherTexts& Old) -> std::optional<TWeatherTexts> {
        return Compose(Old.TodayNow, Old.TomorrowHi, Old.TomorrowLow, BandHeight);
    });
}

void TKGW::DrawIcon(TKMV& Icons, int32_t X, int32_t Y, std::atomic<int32_t>& Code)
{
    Icons.SetShowX(X);
    Icons.SetShowY(Y);
    int32_t Value = Code.load();
    if (Value > 47) {
        // The clamped value is kept, unless the UI thread has put a new code in meanwhile.
        Code.compare_exchange_strong(Value, kNotAvailable);
        Value = kNotAvailable;
    }
    Icons.SetNumberFrame(Value);
    Icons.DrawMovie();
}

void TKGW::DrawOnBand(plat::DrawContext& Dc, int32_t X, int32_t Y, const plat::Picture& Icons, int32_t IconSize)
{
    const auto At = [this](int32_t Offset) { return static_cast<int32_t>(std::lround(Offset * FBandScale)); };
    const auto Icon = [&](int32_t Column, std::atomic<int32_t>& Code) {
        // A code is clamped as the frame's own drawing clamps it; one below 0 shows no icon.
        const int32_t Value = std::min(Code.load(), kNotAvailable);
        if (Value >= 0 && Icons.Height() >= (Value + 1) * IconSize)
            Dc.CopyRect(plat::TRect{X + At(Column), Y + At(8), X + At(Column) + IconSize, Y + At(8) + IconSize}, Icons,
                        plat::TRect{0, Value * IconSize, IconSize, (Value + 1) * IconSize});
    };
    Icon(94, FTodayCode);
    Icon(206, FTomorrowCode);
    const auto Texts = FTexts.Read();
    if (Texts->BandHeight == 0)
        return;
    plat::Font* Font = gadgets::MyCreateFont(FFonts, kFace, Texts->BandHeight, plat::FW_BOLD, Dc);
    Dc.SetBkMode(plat::TRANSPARENT);
    Dc.SetTextColor(0xFFFFFF);
    Dc.ExtTextOutA(X + At(153), Y + At(29), 0, nullptr, Texts->NowBand);
    Dc.ExtTextOutA(X + At(265), Y + At(29), 0, nullptr, Texts->RangeBand);
    plat::DeleteObject(Font);
}

void TKGW::DrawGadgetWeather()
{
    const int32_t X = GetShowX();
    const int32_t Y = GetShowY();
    if (FWeatherPicVCL == nullptr)
        return;
    DrawIcon(*FWeatherPicVCL, X + 94, Y + 8, FTodayCode);
    DrawIcon(*FWeatherPicVCL, X + 206, Y + 8, FTomorrowCode);
    const auto Texts = FTexts.Read();
    gadgets::WithBackContext(Host(), [&](plat::DrawContext& Dc) {
        plat::Font* Font = gadgets::MyCreateFont(FFonts, kFace, kHeight, plat::FW_BOLD, Dc);
        Dc.SetBkMode(plat::TRANSPARENT);
        Dc.SetTextColor(0xFFFFFF);
        Dc.ExtTextOutA(X + 153, Y + 29, 0, nullptr, Texts->Now);
        Dc.ExtTextOutA(X + 265, Y + 29, 0, nullptr, Texts->Range);
        plat::DeleteObject(Font);
    });
}
