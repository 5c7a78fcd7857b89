// Scaling from the 1024 x 768 design space and the clipping rules at every screen edge.
#include "sprites/SpriteGeometry.h"

#include <gtest/gtest.h>

#include <limits>

using sprites::BlitPlan;
using sprites::ClipToScreen;
using sprites::ScaleToScreen;

namespace {

constexpr int32_t W = 1024;
constexpr int32_t H = 768;

// Clips a 100 x 50 sprite horizontally at X on row 10 and returns the plan.
BlitPlan ClipAtX(int32_t X, bool& Drawn, int32_t Width = 100)
{
    BlitPlan Plan;
    Drawn = ClipToScreen(X, 10, Width, 50, W, H, Plan);
    return Plan;
}

}  // namespace

TEST(DesignScaling, IdentityAtTheDesignSize)
{
    EXPECT_EQ(ScaleToScreen(907, 1024, 1024), 907);
    EXPECT_EQ(ScaleToScreen(69, 768, 768), 69);
}

TEST(DesignScaling, ScalesToTheLargerScreenTruncatingTowardZero)
{
    EXPECT_EQ(ScaleToScreen(907, 1280, 1024), 1133);
    EXPECT_EQ(ScaleToScreen(69, 1024, 768), 92);
    EXPECT_EQ(ScaleToScreen(-10, 1280, 1024), -12);
    EXPECT_EQ(ScaleToScreen(573, 1280, 1024), 716);
    EXPECT_EQ(ScaleToScreen(65, 1024, 768), 86);
}

TEST(DesignScaling, HugeValuesHoldAtTheRangeEdge)
{
    EXPECT_EQ(ScaleToScreen(std::numeric_limits<int32_t>::max(), 1280, 1024), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ScaleToScreen(std::numeric_limits<int32_t>::min(), 1280, 1024), std::numeric_limits<int32_t>::min());
}

TEST(SpriteClipping, InsideTheScreenWholeSprite)
{
    bool Drawn;
    const BlitPlan P = ClipAtX(200, Drawn);
    ASSERT_TRUE(Drawn);
    EXPECT_EQ(P.Source, (plat::TRect{0, 0, 100, 50}));
    EXPECT_EQ(P.DestX, 200);
    EXPECT_EQ(P.DestY, 10);
}

TEST(SpriteClipping, RightEdgeKeepsOneColumnAtWMinus2)
{
    bool Drawn;
    const BlitPlan P = ClipAtX(W - 2, Drawn);
    ASSERT_TRUE(Drawn);
    EXPECT_EQ(P.Source, (plat::TRect{0, 0, 1, 50}));
    EXPECT_EQ(P.DestX, W - 2);
}

TEST(SpriteClipping, NothingAtWMinus1)
{
    bool Drawn;
    ClipAtX(W - 1, Drawn);
    EXPECT_FALSE(Drawn);
}

TEST(SpriteClipping, LeftEdgeNeedsTwoVisibleColumns)
{
    bool Drawn;
    ClipAtX(-(100 - 1), Drawn);
    EXPECT_FALSE(Drawn);
    const BlitPlan P = ClipAtX(-(100 - 2), Drawn);
    ASSERT_TRUE(Drawn);
    EXPECT_EQ(P.Source, (plat::TRect{98, 0, 100, 50}));
    EXPECT_EQ(P.DestX, 0);
}

TEST(SpriteClipping, AtZeroNoSourceOffset)
{
    bool Drawn;
    const BlitPlan P = ClipAtX(0, Drawn);
    ASSERT_TRUE(Drawn);
    EXPECT_EQ(P.Source, (plat::TRect{0, 0, 100, 50}));
    EXPECT_EQ(P.DestX, 0);
}

TEST(SpriteClipping, FullScreenPictureLeavesLastColumnAndRow)
{
    BlitPlan P;
    ASSERT_TRUE(ClipToScreen(0, 0, W, H, W, H, P));
    EXPECT_EQ(P.Source, (plat::TRect{0, 0, W - 1, H - 1}));
    EXPECT_EQ(P.DestX, 0);
    EXPECT_EQ(P.DestY, 0);
}

TEST(SpriteClipping, VerticalRulesMirrorTheHorizontalOnes)
{
    BlitPlan P;
    ASSERT_TRUE(ClipToScreen(10, H - 2, 100, 50, W, H, P));
    EXPECT_EQ(P.Source, (plat::TRect{0, 0, 100, 1}));
    EXPECT_FALSE(ClipToScreen(10, H - 1, 100, 50, W, H, P));
    EXPECT_FALSE(ClipToScreen(10, -49, 100, 50, W, H, P));
    ASSERT_TRUE(ClipToScreen(10, -48, 100, 50, W, H, P));
    EXPECT_EQ(P.Source, (plat::TRect{0, 48, 100, 50}));
    EXPECT_EQ(P.DestY, 0);
}

TEST(SpriteClipping, OverBothEdgesIsCutOnBothSides)
{
    BlitPlan P;
    ASSERT_TRUE(ClipToScreen(-10, -20, W + 40, H + 60, W, H, P));
    EXPECT_EQ(P.Source, (plat::TRect{10, 20, 10 + W - 1, 20 + H - 1}));
    EXPECT_EQ(P.DestX, 0);
    EXPECT_EQ(P.DestY, 0);
}

TEST(SpriteClipping, FarPositionsDoNotWrapOntoTheScreen)
{
    BlitPlan P;
    EXPECT_FALSE(ClipToScreen(std::numeric_limits<int32_t>::max(), 0, 100, 50, W, H, P));
    EXPECT_FALSE(ClipToScreen(std::numeric_limits<int32_t>::min(), 0, 100, 50, W, H, P));
    EXPECT_FALSE(ClipToScreen(std::numeric_limits<int32_t>::max() - 10, 0, 100, 50, W, H, P));
}

TEST(SpriteClipping, EmptySourceDrawsNothing)
{
    BlitPlan P;
    EXPECT_FALSE(ClipToScreen(10, 10, 0, 50, W, H, P));
    EXPECT_FALSE(ClipToScreen(10, 10, 100, 0, W, H, P));
}
