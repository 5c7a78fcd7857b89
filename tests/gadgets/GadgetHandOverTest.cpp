// The hand-over of gadget values between threads: a UI-side thread swaps every text and code
// thousands of times while this thread draws the three gadgets frame after frame (run under
// ThreadSanitizer by tools/tsan.sh); afterwards the gadgets hold the last values written.
#include "tests/gadgets/GadgetStage.h"
#include "tests/gadgets/TickerLine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

TEST(GadgetHandOver, TextsAndCodesSwappedWhileFramesDrawArriveWhole)
{
    gadgettest::TGadgetStage Stage;
    TScene& S = *Stage.Scene;
    const std::string Long = gadgettest::TickerLine(700);
    constexpr int kSwaps = 4000;
    std::atomic<bool> Done{false};
    std::thread Writer([&] {
        for (int i = 1; i <= kSwaps; ++i) {
            S.KGW1->SetTodayCode(i % 60);
            S.KGW1->SetTomorrowCode((i * 7) % 60);
            S.KGW1->SetTodayNow(std::to_string(i));
            S.KGW1->SetTomorrowLow(std::to_string(i - 10));
            S.KGW1->SetTomorrowHi(std::to_string(i + 10));
            S.KGR1->SetNameNews("Channel " + std::to_string(i % 7));
            S.KGR1->SetRssLine(i % 500 == 0 ? Long : "Line " + std::to_string(i));
        }
        Done = true;
    });
    int Frames = 0;
    while (!Done || Frames < 10) {
        S.KGC1->DrawGadgetClock();
        S.KGW1->DrawGadgetWeather();
        S.KGR1->DrawRssNews();
        ++Frames;
    }
    Writer.join();
    EXPECT_GT(Frames, 10);
    EXPECT_EQ(S.KGW1->GetTodayNow(), std::to_string(kSwaps));
    EXPECT_EQ(S.KGW1->GetTomorrowLow(), std::to_string(kSwaps - 10));
    EXPECT_EQ(S.KGW1->GetTomorrowHi(), std::to_string(kSwaps + 10));
    EXPECT_EQ(S.KGW1->GetTodayCode(), kSwaps % 60);
    EXPECT_EQ(S.KGW1->GetTomorrowCode(), kSwaps * 7 % 60);
    EXPECT_EQ(S.KGR1->GetRssLine(), Long);
    EXPECT_EQ(S.KGR1->GetNameNews(), "Channel " + std::to_string(kSwaps % 7));
}

}  // namespace
