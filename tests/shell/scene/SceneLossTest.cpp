// A surface loss in the middle of a run with all three gadgets on: the frame that notices it is
// repaired before it is drawn, so it and the frames after it equal those of a run without the
// loss; and a primary surface that cannot be restored costs at most three attempts per frame.
#include "gadgets/Kgc.h"
#include "tests/shell/scene/SceneStage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr scenetest::TSwitches kAllGadgets{.ShowTime = 1, .ShowWeather = 1, .ShowNews = 1, .ShowBlack = 0};

// Both runs must show the same time.
void FixClock(scenetest::TSceneStage& Stage)
{
    Stage.Scene->KGC1->LocalTime = [] {
        std::tm Time{};
        Time.tm_hour = 10;
        Time.tm_min = 42;
        return Time;
    };
}

bool SamePixels(const plat::Picture& A, const plat::Picture& B)
{
    return A.Width() == B.Width() && A.Height() == B.Height() &&
        std::memcmp(A.Pixels(), B.Pixels(), size_t(A.Width()) * A.Height() * 4) == 0;
}

}  // namespace

TEST(SceneLoss, ALossIsRepairedInTheFrameThatNoticesItAndTheRunGoesOnUnchanged)
{
    scenetest::TSceneStage steady(kAllGadgets);
    scenetest::TSceneStage lossy(kAllGadgets);
    FixClock(steady);
    FixClock(lossy);
    for (int frame = 0; frame < 10; ++frame) {
        if (frame == 4)
            lossy.Kss1->GetDirectDraw()->LoseSurfaces();
        steady.Frame();
        lossy.Frame();
        EXPECT_TRUE(SamePixels(steady.Shown(), lossy.Shown())) << "frame " << frame;
    }
}

TEST(SceneLoss, ARestoreThatKeepsFailingCostsAtMostThreeAttemptsPerFrame)
{
    scenetest::TSceneStage stage(kAllGadgets);
    stage.Screen->RefuseRestore = true;
    stage.Kss1->GetDirectDraw()->LoseSurfaces();
    for (int frame = 1; frame <= 3; ++frame) {
        stage.Frame();
        EXPECT_EQ(stage.Screen->RefusedRestores, 3 * frame);
    }
    stage.Screen->RefuseRestore = false;
    stage.Frame();
    EXPECT_EQ(stage.Screen->RefusedRestores, 9);
}
