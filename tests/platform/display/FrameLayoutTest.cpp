// Where the frame, its surround and its overlay go on the monitors people own, and how a screen
// hands the layers over with the frame.
#include "platform/display/FrameLayout.h"

#include "platform/display/DDraw.h"
#include "platform/headless/HeadlessScreen.h"
#include "platform/image/Resample.h"

#include <gtest/gtest.h>

#include <cmath>

using plat::FrameLayout;
using plat::TRect;

namespace {

void ExpectRect(const TRect& Actual, const TRect& Expected, const char* What)
{
    EXPECT_TRUE(Actual == Expected) << What << ": " << Actual.Left << "," << Actual.Top << "," << Actual.Right << ","
                                    << Actual.Bottom;
}

}  // namespace

TEST(FrameLayout, FillsEveryShapeEdgeToEdgeWithTheBandAtTheBottom)
{
    struct Case {
        int OutW, OutH;
        TRect Picture;
        int Left, Right, Top, OverlayRows;
    };
    const Case cases[] = {
        {1024, 768, {0, 0, 1024, 768}, 0, 0, 0, 70},
        {1280, 1024, {0, 64, 1280, 1024}, 0, 0, 52, 88},  // 5:4: the frame at the bottom, sky above
        {1920, 1080, {240, 0, 1680, 1080}, 171, 171, 0, 98},
        {2560, 1080, {560, 0, 2000, 1080}, 399, 399, 0, 98},
        {3840, 2160, {480, 0, 3360, 2160}, 171, 171, 0, 197},
        {5120, 1440, {1600, 0, 3520, 1440}, 854, 854, 0, 131},  // 32:9
        {1080, 1920, {0, 1110, 1080, 1920}, 0, 0, 1053, 74},  // portrait
    };
    for (const Case& c : cases) {
        const FrameLayout layout = plat::LayOutFrame(1024, 768, c.OutW, c.OutH, true, 70);
        SCOPED_TRACE(std::to_string(c.OutW) + "x" + std::to_string(c.OutH));
        ExpectRect(layout.Picture, c.Picture, "picture");
        EXPECT_EQ(layout.Left, c.Left);
        EXPECT_EQ(layout.Right, c.Right);
        EXPECT_EQ(layout.Top, c.Top);
        ExpectRect(layout.Overlay, TRect{0, c.OutH - c.OverlayRows, c.OutW, c.OutH}, "overlay");
        // The canvas, scaled like the frame, covers the whole window.
        const double s = layout.Scale();
        EXPECT_LE(layout.Picture.Left - layout.Left * s, 0.0);
        EXPECT_GE(layout.Picture.Right + layout.Right * s, c.OutW);
        EXPECT_LE(layout.Picture.Top - layout.Top * s, 0.0);
        EXPECT_EQ(layout.CanvasWidth(), 1024 + c.Left + c.Right);
    }
    // Without a surround: the frame fitted with bars, the overlay over the frame alone.
    const FrameLayout plain = plat::LayOutFrame(1024, 768, 1280, 1024, false, 70);
    ExpectRect(plain.Picture, TRect{0, 32, 1280, 992}, "plain picture");
    ExpectRect(plain.Overlay, TRect{0, 992 - 88, 1280, 992}, "plain overlay");
    EXPECT_FALSE(plain.HasSurround());
    EXPECT_TRUE(plat::LayOutFrame(1024, 768, 0, 1080, true, 70).Picture.Empty());
}

TEST(FrameLayout, PlanesTileTheLayerBlockInOrder)
{
    const FrameLayout wide = plat::LayOutFrame(1024, 768, 1920, 1080, true, 70);
    std::vector<uint32_t> block(wide.LayerPixels());
    const plat::FramePlanes planes = plat::PlanesAt(block.data(), wide);
    EXPECT_EQ(planes.Left, block.data());
    EXPECT_EQ(planes.Right, planes.Left + 171 * 768);
    EXPECT_EQ(planes.Top, nullptr);
    EXPECT_EQ(planes.Right + 171 * 768, block.data() + block.size());
    const FrameLayout tall = plat::LayOutFrame(1024, 768, 1080, 1920, true, 0);
    std::vector<uint32_t> tallBlock(tall.LayerPixels());
    const plat::FramePlanes top = plat::PlanesAt(tallBlock.data(), tall);
    EXPECT_EQ(top.Top, tallBlock.data());
    EXPECT_EQ(tallBlock.size(), 1024u * 1053u);
    EXPECT_EQ(top.Left, nullptr);
}

// Each flipped frame carries its own surround to the screen, and the overlay is painted as it is
// shown; both go through the gamma ramp like the frame.
TEST(FrameLayout, LayersTravelWithTheirFrameAndTakeTheRamp)
{
    plat::HeadlessScreen screen;
    ASSERT_TRUE(screen.Open(1024, 768, 0));
    screen.SetOutputSize(1920, 1080);
    screen.SetLayers(true, 70);
    ASSERT_EQ(screen.Layout().Left, 171);
    uint32_t painted = 0x80FF40u;
    screen.SetOverlayPainter([&](uint32_t* Pixels, int Pitch) { Pixels[Pitch + 7] = painted++; });
    plat::FrameMailbox& frames = screen.Frames();
    int buffer = plat::FrameMailbox::kFirstProducerBuffer;
    for (uint32_t value : {0x102030u, 0x405060u}) {
        screen.Planes(buffer).Left[5] = value;
        buffer = frames.Publish(buffer);
        ASSERT_TRUE(screen.PresentLatest());
        EXPECT_EQ(screen.ShownLayers().Left[5], value);
        EXPECT_EQ(screen.ShownOverlay().Row(1)[7], painted - 1);
    }
    painted = 0x80FF40u;
    plat::DDGAMMARAMP half;
    for (int i = 0; i < 256; ++i)
        half.red[i] = half.green[i] = half.blue[i] = static_cast<uint16_t>(i * 128);
    screen.SetGammaRamp(half);
    screen.Planes(buffer).Left[5] = 0x80FF40u;
    frames.Publish(buffer);
    ASSERT_TRUE(screen.PresentLatest());
    EXPECT_EQ(screen.ShownLayers().Left[5], 0x407F20u);
    EXPECT_EQ(screen.ShownOverlay().Row(1)[7], 0x407F20u);
}

// Smooth scaling keeps flat areas flat, stays within the source's values, and averages when it
// shrinks.
TEST(Resample, ScalesSmoothlyBothWays)
{
    plat::Picture stripes(8, 8, "TBitmap");
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            stripes.Row(y)[x] = x % 2 ? 0xFFFFFFu : 0u;
    const plat::Picture half = plat::Resample(stripes, TRect{0, 0, 8, 8}, 4, 4);
    for (int x = 1; x < 3; ++x)
        EXPECT_NEAR(static_cast<int>(half.Row(2)[x] & 0xFF), 128, 2) << x;
    const plat::Picture big = plat::Resample(stripes, TRect{0, 0, 2, 8}, 23, 11);
    ASSERT_EQ(big.Width(), 23);
    for (int x = 0; x < 23; ++x) {
        EXPECT_EQ(big.Row(5)[x] & 0xFF, (big.Row(5)[x] >> 16) & 0xFF);
        if (x > 0) {
            EXPECT_GE(big.Row(5)[x] & 0xFF, big.Row(5)[x - 1] & 0xFF);  // a ramp from black to white
        }
    }
    EXPECT_TRUE(plat::Resample(stripes, TRect{0, 0, 0, 8}, 4, 4).Empty());
}
