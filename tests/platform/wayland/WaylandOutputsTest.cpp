// The scale a window on an output is drawn at, from what the output announces: the mode over the
// logical size, which is what a compositor scaling by a fraction means when it announces only the
// next whole scale.
#include "platform/wayland/WaylandOutputs.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plat {
namespace {

WaylandOutputs::Output Announced(int ModeWidth, int ModeHeight, int Scale, int LogicalWidth, int LogicalHeight)
{
    WaylandOutputs::Output output;
    output.ModeWidth = ModeWidth;
    output.ModeHeight = ModeHeight;
    output.Scale = Scale;
    output.Bounds = TRect{0, 0, LogicalWidth, LogicalHeight};
    return output;
}

TEST(WaylandOutputsTest, TheScaleIsTheModeOverTheLogicalSize)
{
    // sway 1.7 at 1.5 announces 2.
    EXPECT_DOUBLE_EQ(Announced(2880, 1620, 2, 1920, 1080).EffectiveScale(), 1.5);
    EXPECT_DOUBLE_EQ(Announced(3840, 2160, 2, 1920, 1080).EffectiveScale(), 2.0);
    // A rotated output's logical size is its mode turned.
    EXPECT_DOUBLE_EQ(Announced(3840, 2160, 2, 1080, 1920).EffectiveScale(), 2.0);
    // Without xdg-output the whole scale announced is all there is.
    EXPECT_DOUBLE_EQ(Announced(3840, 2160, 2, 0, 0).EffectiveScale(), 2.0);
}

// A logical size rounded to whole pixels (1366 / 1.2 = 1138.3) still gives the compositor's scale,
// so the pictures come out at the mode's width.
TEST(WaylandOutputsTest, ARoundedLogicalSizeGivesTheScaleInStepsOf120ths)
{
    const double scale = Announced(1366, 768, 2, 1138, 640).EffectiveScale();
    EXPECT_DOUBLE_EQ(scale, 144 / 120.0);
    EXPECT_EQ(std::lround(1138 * scale), 1366);
}

}  // namespace
}  // namespace plat
