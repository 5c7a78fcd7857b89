// The clock on the headless screen at a fixed time: reference frames of 14:35 with the colon shown
// and hidden, 2:35 PM, a text without a colon, a text wider than its box and 14:35 in Persian
// digits; the colon's timing; and a refused drawing context.
#include "tests/gadgets/GadgetStage.h"

#include <gtest/gtest.h>

namespace {

using gadgettest::kGolden;
using gadgettest::SamePixels;
using gadgettest::TGadgetStage;

TEST(Kgc, TheColonShowsForHalfASecondOfFramesAndTheTextsMatchTheReferences)
{
    TGadgetStage Stage;
    TKGC& Clock = *Stage.Scene->KGC1;
    Clock.SetTimeFormat(plat::TimeFormat("C"));
    Stage.SetTime(14, 35, 7);
    const plat::Picture Shown = Stage.ClockBand();  // a new second: the colon shows
    EXPECT_EQ(Clock.GetBlinkCount(), 0);
    golden::CompareWithGolden(Shown, kGolden, "clock-1435.png");
    for (int Frame = 1; Frame <= 10; ++Frame)
        EXPECT_TRUE(SamePixels(Stage.ClockBand(), Shown)) << Frame;
    const plat::Picture Hidden = Stage.ClockBand();
    EXPECT_EQ(Clock.GetBlinkCount(), 11);
    golden::CompareWithGolden(Hidden, kGolden, "clock-1435-hidden.png");
    Stage.SetTime(14, 35, 8);
    EXPECT_TRUE(SamePixels(Stage.ClockBand(), Shown));
    EXPECT_EQ(Clock.GetBlinkCount(), 0);

    // With frames more than 500 ms apart the colon never shows.
    Stage.Kss1->SetInterval(501);
    Stage.SetTime(14, 35, 9);
    EXPECT_TRUE(SamePixels(Stage.ClockBand(), Hidden));
    Stage.Kss1->SetInterval(45);

    Clock.SetTimeFormat(plat::TimeFormat("en_US.UTF-8"));
    Stage.SetTime(14, 35, 10);
    golden::CompareWithGolden(Stage.ClockBand(), kGolden, "clock-235pm.png");
    Clock.SetTimeFormat(plat::TimeFormat("C", "%H.%M"));
    Stage.SetTime(14, 35, 11);
    golden::CompareWithGolden(Stage.ClockBand(), kGolden, "clock-1435-dot.png");
    Clock.SetTimeFormat(plat::TimeFormat("C", "%H:%M %p local harbour time"));
    Stage.SetTime(14, 35, 12);
    golden::CompareWithGolden(Stage.ClockBand(), kGolden, "clock-wide.png");
    // Digits of another script: five characters in more bytes, still a 24-hour text all in white.
    Clock.SetTimeFormat(plat::TimeFormat("fa_IR.UTF-8", "%OH:%OM"));
    Stage.SetTime(14, 35, 13);
    golden::CompareWithGolden(Stage.ClockBand(), kGolden, "clock-1435-persian.png");
}

TEST(Kgc, ARefusedDrawingContextDrawsNothingAndLeavesTheBlinkCount)
{
    TGadgetStage Stage;
    TKGC& Clock = *Stage.Scene->KGC1;
    Clock.SetTimeFormat(plat::TimeFormat("C"));
    Stage.SetTime(14, 35, 7);
    Stage.ClockBand();
    Stage.ClockBand();
    ASSERT_EQ(Clock.GetBlinkCount(), 1);
    plat::DrawContext* Held = nullptr;
    ASSERT_EQ(Stage.Kss1->GetBack()->GetDC(&Held), plat::DD_OK);
    Clock.DrawGadgetClock();
    EXPECT_EQ(Clock.GetBlinkCount(), 1);
    Stage.Kss1->GetBack()->ReleaseDC(Held);
}

}  // namespace
