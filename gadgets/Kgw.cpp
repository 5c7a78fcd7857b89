// The weather panel: two condition icons and two temperature texts over the plate.
#include "gadgets/Kgw.h"

#include "gadgets/GadgetDraw.h"
#include "sprites/Kmv.h"

namespace {

constexpr int32_t kNotAvailable = 48;
constexpr const char* kFace = "Arial";
constexpr int kHeight = 20;
constexpr const char* kDegree = "\xB0";  // the degree sign of the ANSI code page

}  // namespace

TKGW::TKGW(TComponent* AOwner) : TKIM(AOwner), FTexts(Compose("NA", "NA", "NA")) {}

TKGW::TWeatherTexts TKGW::Compose(std::string TodayNow, std::string TomorrowHi, std::string TomorrowLow)
{
    TWeatherTexts Texts{std::move(TodayNow), std::move(TomorrowHi), std::move(TomorrowLow), {}, {}};
    Texts.Now = gadgets::MeasuredText(kFace, kHeight, plat::FW_BOLD, Texts.TodayNow + kDegree);
    Texts.Range = gadgets::MeasuredText(kFace, kHeight, plat::FW_BOLD,
                                        Texts.TomorrowLow + "..." + Texts.TomorrowHi + kDegree);
    return Texts;
}

void TKGW::StoreText(std::string TWeatherTexts::*Field, const std::string& Text)
{
    FTexts.Update([&](const TWeatherTexts& Old) -> std::optional<TWeatherTexts> {
        if (Old.*Field == Text)
            return std::nullopt;
        TWeatherTexts New{Old.TodayNow, Old.TomorrowHi, Old.TomorrowLow, {}, {}};
        New.*Field = Text;
        return Compose(std::move(New.TodayNow), std::move(New.TomorrowHi), std::move(New.TomorrowLow));
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
        plat::Font* Font = gadgets::MyCreateFont(kFace, kHeight, plat::FW_BOLD, Dc);
        Dc.SetBkMode(plat::TRANSPARENT);
        Dc.SetTextColor(0xFFFFFF);
        Dc.ExtTextOutA(X + 153, Y + 29, 0, nullptr, Texts->Now);
        Dc.ExtTextOutA(X + 265, Y + 29, 0, nullptr, Texts->Range);
        plat::DeleteObject(Font);
    });
}
