// The software composition of a frame with its surround: drawn again only where it changed, yet
// always what a composition from scratch gives.
#include "platform/display/LayerCompositor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TFrame {
    std::vector<uint32_t> Pixels = std::vector<uint32_t>(1024 * 768);
    std::vector<uint32_t> Layers;
    uint32_t& At(int X, int Y) { return Pixels[static_cast<size_t>(Y) * 1024 + static_cast<size_t>(X)]; }
};

TFrame MakeFrame(const plat::FrameLayout& Layout, uint32_t Seed)
{
    TFrame frame;
    frame.Layers.resize(Layout.LayerPixels());
    for (size_t i = 0; i < frame.Pixels.size(); ++i)
        frame.Pixels[i] = static_cast<uint32_t>(i * 2654435761u + Seed) & 0xFFFFFFu;
    for (size_t i = 0; i < frame.Layers.size(); ++i)
        frame.Layers[i] = static_cast<uint32_t>(i * 40503u + 7) & 0xFFFFFFu;
    return frame;
}

std::vector<uint32_t> Composed(const plat::FrameLayout& Layout, TFrame& Frame)
{
    plat::LayerCompositor fresh;
    fresh.Reset(Layout);
    std::vector<uint32_t> out(static_cast<size_t>(Layout.OutputWidth) * static_cast<size_t>(fresh.OutRows()));
    fresh.Compose(Frame.Pixels.data(), plat::PlanesAt(Frame.Layers.data(), Layout), out.data(), Layout.OutputWidth);
    return out;
}

// A frame that changes in a few rows redraws the window rows around them and no others, and the
// window then holds what composing that frame from scratch gives: wide and portrait monitors.
TEST(LayerCompositor, RedrawsOnlyTheChangedRowsAndMatchesAFreshComposition)
{
    for (const plat::FrameLayout& layout :
         {plat::LayOutFrame(1024, 768, 1920, 1080, true, 70), plat::LayOutFrame(1024, 768, 1080, 1920, true, 70)}) {
        plat::LayerCompositor compositor;
        compositor.Reset(layout);
        ASSERT_EQ(compositor.OutRows(), layout.Overlay.Top);
        TFrame frame = MakeFrame(layout, 1);
        std::vector<uint32_t> window(static_cast<size_t>(layout.OutputWidth) *
                                     static_cast<size_t>(compositor.OutRows()));
        const plat::FramePlanes planes = plat::PlanesAt(frame.Layers.data(), layout);
        const auto first = compositor.Compose(frame.Pixels.data(), planes, window.data(), layout.OutputWidth);
        EXPECT_EQ(first.First, 0);
        EXPECT_EQ(first.Last, compositor.OutRows());
        EXPECT_EQ(compositor.Compose(frame.Pixels.data(), planes, window.data(), layout.OutputWidth).Last, 0)
            << "an unchanged frame draws nothing";

        for (int x = 0; x < 1024; ++x)
            frame.At(x, 500) ^= 0x808080u;
        const auto drawn = compositor.Compose(frame.Pixels.data(), planes, window.data(), layout.OutputWidth);
        const double scale = layout.Scale();
        const int row = layout.Picture.Top + static_cast<int>(500 * scale);
        EXPECT_LE(drawn.First, row);
        EXPECT_GE(drawn.Last, row + 1);
        EXPECT_LE(drawn.Last - drawn.First, static_cast<int>(2 * scale) + 2);
        EXPECT_EQ(window, Composed(layout, frame));
    }
}

// The frame's last column and row, which the design never draws, show their neighbours; flat
// stays flat.
TEST(LayerCompositor, TheLastColumnAndRowTakeTheirNeighboursAndFlatStaysFlat)
{
    const plat::FrameLayout layout = plat::LayOutFrame(1024, 768, 1280, 960, true, 0);
    TFrame frame;
    std::fill(frame.Pixels.begin(), frame.Pixels.end(), 0x336699u);
    for (int i = 0; i < 1024; ++i)
        frame.At(1023, i % 768) = frame.At(i, 767) = 0;
    const std::vector<uint32_t> window = Composed(layout, frame);
    for (uint32_t pixel : window)
        ASSERT_EQ(pixel, 0x336699u);
}

}  // namespace
