// The weather panel on the headless screen: reference frames of the not-available start, of codes
// 47 and 100 with temperatures, and of empty temperature texts; a code above 47 is drawn and kept
// as 48; no icon strip draws nothing.
#include "sprites/Kmv.h"
#include "tests/gadgets/GadgetStage.h"

#include <gtest/gtest.h>

namespace {

using gadgettest::kGolden;
using gadgettest::SamePixels;
using gadgettest::TGadgetStage;

TEST(Kgw, CodesAndTemperaturesMatchTheReferences)
{
    TGadgetStage Stage;
    TKGW& Weather = *Stage.Scene->KGW1;
    auto Band = [&] {
        return Stage.Band([&] {
            Weather.DrawImage();
            Weather.DrawGadgetWeather();
        });
    };
    golden::CompareWithGolden(Band(), kGolden, "weather-na.png");

    Weather.SetTodayCode(47);
    Weather.SetTomorrowCode(100);
    Weather.SetTodayNow("75");
    Weather.SetTomorrowLow("61");
    Weather.SetTomorrowHi("80");
    const plat::Picture Drawn = Band();
    golden::CompareWithGolden(Drawn, kGolden, "weather-47-100.png");
    EXPECT_EQ(Weather.GetTodayCode(), 47);
    EXPECT_EQ(Weather.GetTomorrowCode(), 48);
    EXPECT_EQ(Weather.GetTomorrowLow(), "61");
    EXPECT_EQ(Stage.Scene->KMV3Weather->GetShowX(), 571 + 206);  // tomorrow's icon came last
    EXPECT_EQ(Stage.Scene->KMV3Weather->GetShowY(), 698 + 8);
    Weather.SetTomorrowCode(48);
    EXPECT_TRUE(SamePixels(Band(), Drawn));  // 100 drew frame 48

    Weather.SetTodayNow("");
    Weather.SetTomorrowLow("");
    Weather.SetTomorrowHi("");
    golden::CompareWithGolden(Band(), kGolden, "weather-empty.png");

    Weather.SetWeatherPicVCL(nullptr);
    const plat::Picture Black = Stage.Band([] {});
    EXPECT_TRUE(SamePixels(Stage.Band([&] { Weather.DrawGadgetWeather(); }), Black));
}

}  // namespace
