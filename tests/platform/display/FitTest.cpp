// Fitting the frame into windows of other shapes: bars where the aspect differs, the picture
// scaled by nearest pixels, down to the smallest preview.
#include "platform/display/Fit.h"

#include <gtest/gtest.h>

#include <vector>

using plat::FitRect;
using plat::FitScaler;
using plat::TRect;

TEST(FitTest, PlacesThePictureCentredWithBars)
{
    struct Case {
        int W, H, OutW, OutH;
        TRect Expected;
    };
    const Case cases[] = {
        {1024, 768, 1280, 1024, {0, 32, 1280, 992}}, {1024, 768, 1920, 1080, {240, 0, 1680, 1080}},
        {1024, 768, 200, 150, {0, 0, 200, 150}},     {1024, 768, 1024, 768, {0, 0, 1024, 768}},
        {1024, 768, 0, 150, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const TRect r = FitRect(c.W, c.H, c.OutW, c.OutH);
        EXPECT_EQ(r.Left, c.Expected.Left) << c.OutW << "x" << c.OutH;
        EXPECT_EQ(r.Top, c.Expected.Top) << c.OutW << "x" << c.OutH;
        EXPECT_EQ(r.Right, c.Expected.Right) << c.OutW << "x" << c.OutH;
        EXPECT_EQ(r.Bottom, c.Expected.Bottom) << c.OutW << "x" << c.OutH;
    }
}

// Each output pixel is the source pixel under its position; bars are black over old contents.
TEST(FitTest, ScalesByNearestPixelAndBlackensTheBars)
{
    const int w = 8, h = 6;
    std::vector<uint32_t> frame(w * h);
    for (int i = 0; i < w * h; ++i)
        frame[i] = 0x010101u * static_cast<uint32_t>(i + 1);
    for (const auto& [outW, outH] : {std::pair{20, 10}, std::pair{4, 9}, std::pair{16, 12}}) {
        FitScaler scaler;
        scaler.SetSizes(w, h, outW, outH);
        const int stride = outW + 3;
        std::vector<uint32_t> out(static_cast<size_t>(stride * outH), 0xFFFFFFu);
        scaler.Scale(frame.data(), out.data(), stride);
        const TRect p = scaler.Picture();
        for (int y = 0; y < outH; ++y)
            for (int x = 0; x < outW; ++x) {
                const bool inside = x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom;
                const uint32_t expected =
                    inside ? frame[(y - p.Top) * h / p.Height() * w + (x - p.Left) * w / p.Width()] : 0u;
                ASSERT_EQ(out[y * stride + x], expected) << outW << "x" << outH << " at " << x << "," << y;
            }
    }
}
