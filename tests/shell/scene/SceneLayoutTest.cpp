// The scene's frame counters and the places of the gadgets in the panel.
#include "shell/Scene.h"

#include <gtest/gtest.h>

namespace {

TEST(SceneCycles, FirstFrameShowsFrameOneOfEveryStrip)
{
    int32_t Short = 0, Long = 0;
    AdvanceCycleFrames(Short, Long);
    EXPECT_EQ(Short, 1);
    EXPECT_EQ(Long, 1);
}

TEST(SceneCycles, ShortStripsWrapAtTheThirtyFirstFrame)
{
    int32_t Short = 0, Long = 0;
    for (int Frame = 1; Frame <= 30; ++Frame)
        AdvanceCycleFrames(Short, Long);
    EXPECT_EQ(Short, 30);
    AdvanceCycleFrames(Short, Long);  // the 31st frame
    EXPECT_EQ(Short, 0);
    EXPECT_EQ(Long, 31);
}

TEST(SceneCycles, LongStripFollowsFrame149WithFrame0)
{
    int32_t Short = 0, Long = 0;
    for (int Frame = 1; Frame <= 149; ++Frame)
        AdvanceCycleFrames(Short, Long);
    EXPECT_EQ(Long, 149);
    AdvanceCycleFrames(Short, Long);
    EXPECT_EQ(Long, 0);
}

TEST(SceneCycles, BothCountersStayInRangeOverManyLoops)
{
    int32_t Short = 0, Long = 0;
    int ShortZeros = 0, LongZeros = 0;
    for (int Frame = 1; Frame <= 31 * 150; ++Frame) {
        AdvanceCycleFrames(Short, Long);
        ASSERT_GE(Short, 0);
        ASSERT_LE(Short, 30);
        ASSERT_GE(Long, 0);
        ASSERT_LE(Long, 149);
        ShortZeros += Short == 0;
        LongZeros += Long == 0;
    }
    EXPECT_EQ(ShortZeros, 150);
    EXPECT_EQ(LongZeros, 31);
}

struct TPlacementCase {
    int32_t ShowTime;
    int32_t ShowWeather;
    int32_t ClockX;
    int32_t WeatherX;
    int32_t NewsX;
};

TEST(SceneGadgets, PlacesFollowTheSwitchedOnGadgets)
{
    const TPlacementCase Cases[] = {
        {1, 1, 907, 571, 0},  // all three: ticker 0, weather 571, clock 907
        {0, 1, 907, 688, 117},  // no clock: weather moves right, the ticker with it
        {1, 0, 907, 571, 336},  // no weather: the ticker sits against the clock
        {0, 0, 907, 688, 453},  // ticker alone: it reaches one pixel past the right edge
    };
    for (const auto& C : Cases) {
        const TGadgetPlacement At = PlaceGadgets(C.ShowTime, C.ShowWeather);
        EXPECT_EQ(At.ClockX, C.ClockX) << C.ShowTime << C.ShowWeather;
        EXPECT_EQ(At.WeatherX, C.WeatherX) << C.ShowTime << C.ShowWeather;
        EXPECT_EQ(At.NewsX, C.NewsX) << C.ShowTime << C.ShowWeather;
    }
}

TEST(SceneGadgets, NeighboursMeetWithoutGaps)
{
    const TGadgetPlacement At = PlaceGadgets(1, 1);
    EXPECT_EQ(At.WeatherX + 336, At.ClockX);
    EXPECT_EQ(At.NewsX + 572, At.WeatherX + 1);  // the ticker overlaps by one pixel
    const TGadgetPlacement Alone = PlaceGadgets(0, 0);
    EXPECT_EQ(Alone.NewsX + 572, 1024 + 1);
}

TEST(SceneGadgets, AnyNonZeroSwitchCountsAsOn)
{
    const TGadgetPlacement At = PlaceGadgets(7, -1);
    EXPECT_EQ(At.WeatherX, 571);
    EXPECT_EQ(At.NewsX, 0);
}

}  // namespace
