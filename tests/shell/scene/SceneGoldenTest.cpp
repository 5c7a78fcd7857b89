// Reference frames of the whole scene: frames 1, 2, 100 and 1155 (a full circuit of the large
// seagull) drawn on the headless screen must match the committed pictures pixel for pixel.
//
// The references change only on purpose: run the test with SOLVANE_UPDATE_GOLDEN=1 to write new
// ones into the source tree (after a change of the scene's art or drawing), then look at them.
// On a mismatch the frame actually drawn is written beside the build for comparison.
#include "tests/shell/scene/GoldenPng.h"
#include "tests/shell/scene/SceneStage.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const int kGoldenFrames[] = {1, 2, 100, 1155};

std::string GoldenName(int Frame)
{
    char Name[32];
    std::snprintf(Name, sizeof Name, "frame-%04d.png", Frame);
    return Name;
}

TEST(SceneGolden, FramesMatchTheReferences)
{
    // The clock is left off: it would show the time of the run.
    scenetest::TSceneStage Stage({.ShowTime = 0, .ShowWeather = 1, .ShowNews = 1, .ShowBlack = 0});
    for (int Frame : kGoldenFrames) {
        while (Stage.FramesDrawn < Frame)
            Stage.Frame();
        const plat::Picture& Shown = Stage.Shown();
        ASSERT_EQ(Shown.Width(), 1024);
        ASSERT_EQ(Shown.Height(), 768);
        golden::CompareWithGolden(Shown, "tests/shell/scene/golden", GoldenName(Frame));
    }
}

}  // namespace
