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
#include <filesystem>

namespace {

const int kGoldenFrames[] = {1, 2, 100, 1155};

std::string GoldenName(int Frame)
{
    char Name[32];
    std::snprintf(Name, sizeof Name, "frame-%04d.png", Frame);
    return Name;
}

// The pixels that differ between the two pictures, in the RGB channels.
int64_t CountDifferences(const plat::Picture& A, const plat::Picture& B, std::string& First)
{
    int64_t Count = 0;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            if (((A.Row(Y)[X] ^ B.Row(Y)[X]) & 0xFFFFFFu) != 0 && Count++ == 0)
                First = "(" + std::to_string(X) + ", " + std::to_string(Y) + ")";
    return Count;
}

void CompareWithGolden(const plat::Picture& Shown, int Frame)
{
    const std::filesystem::path GoldenDir =
        std::filesystem::path(SOLVANE_SOURCE_DIR) / "tests/shell/scene/golden";
    const std::string Golden = (GoldenDir / GoldenName(Frame)).string();
    if (std::getenv("SOLVANE_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(GoldenDir);
        ASSERT_EQ(golden::WritePng(Golden, Shown), "");
        return;
    }
    plat::Picture Expected;
    ASSERT_EQ(golden::ReadPng(Golden, Expected), "")
        << "no reference frame; make them with SOLVANE_UPDATE_GOLDEN=1";
    ASSERT_EQ(Expected.Width(), Shown.Width());
    ASSERT_EQ(Expected.Height(), Shown.Height());
    std::string First;
    const int64_t Differences = CountDifferences(Expected, Shown, First);
    if (Differences != 0) {
        const std::filesystem::path Actual = std::filesystem::path(SOLVANE_BINARY_DIR) / "scene-golden";
        std::filesystem::create_directories(Actual);
        golden::WritePng((Actual / GoldenName(Frame)).string(), Shown);
        ADD_FAILURE() << "frame " << Frame << ": " << Differences << " pixels differ, first at "
                      << First << "; the frame drawn is in " << Actual.string();
    }
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
        CompareWithGolden(Shown, Frame);
    }
}

}  // namespace
