// Pictures on a drawing context: natural size with clipping, nearest-pixel stretching, exact
// rectangle copies between bitmaps, and pixels read and set in the 0x00BBGGRR colour form.
#include <gtest/gtest.h>

#include "platform/gdi/DrawContext.h"
#include "platform/image/Picture.h"

using namespace plat;

namespace {

Picture Numbered(int Width, int Height)
{
    Picture picture(Width, Height, "TBitmap");
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            picture.Row(y)[x] = static_cast<uint32_t>(0x010000 * y + x + 1);
    return picture;
}

TEST(PictureDrawTest, NaturalSizeIsClippedAtEveryEdge)
{
    const Picture source = Numbered(4, 3);
    Picture target(5, 5, "TBitmap");
    DrawContext dc(target);
    dc.Draw(-2, 3, source);
    EXPECT_EQ(target.Row(3)[0], source.Row(0)[2]);
    EXPECT_EQ(target.Row(4)[1], source.Row(1)[3]);
    EXPECT_EQ(target.Row(3)[2], 0u);
    EXPECT_EQ(target.Row(2)[0], 0u);
    dc.Draw(100, -100, source);
    dc.Draw(4, 4, source);
    EXPECT_EQ(target.Row(4)[4], source.Row(0)[0]);
}

TEST(PictureDrawTest, StretchTakesTheNearestPixel)
{
    const Picture source = Numbered(3, 2);
    Picture target(6, 6, "TBitmap");
    DrawContext dc(target);
    dc.StretchDraw(TRect{0, 0, 6, 6}, source);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(target.Row(y)[x], source.Row(y / 3)[x / 2]) << x << "," << y;

    // Shrinking 6 columns into 3 takes the centre of each pair: columns 1, 3, 5.
    const Picture wide = Numbered(6, 1);
    Picture narrow(3, 1, "TBitmap");
    DrawContext ndc(narrow);
    ndc.StretchDraw(TRect{0, 0, 3, 1}, wide);
    EXPECT_EQ(narrow.Row(0)[0], wide.Row(0)[1]);
    EXPECT_EQ(narrow.Row(0)[1], wide.Row(0)[3]);
    EXPECT_EQ(narrow.Row(0)[2], wide.Row(0)[5]);
}

TEST(PictureDrawTest, StretchPartlyOutsideKeepsTheMapping)
{
    const Picture source = Numbered(4, 4);
    Picture whole(8, 8, "TBitmap");
    DrawContext wdc(whole);
    wdc.StretchDraw(TRect{0, 0, 8, 8}, source);
    Picture shifted(8, 8, "TBitmap");
    DrawContext sdc(shifted);
    sdc.StretchDraw(TRect{-3, -5, 5, 3}, source);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(shifted.Row(y)[x], whole.Row(y + 5)[x + 3]);
    EXPECT_EQ(shifted.Row(3)[0], 0u);
}

TEST(PictureDrawTest, CopyRectBetweenBitmapsIsExact)
{
    const Picture strip = Numbered(5, 12);
    Picture frame(5, 4, "TBitmap");
    DrawContext dc(frame);
    dc.CopyRect(TRect{0, 0, 5, 4}, strip, TRect{0, 8, 5, 12});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(frame.Row(y)[x], strip.Row(8 + y)[x]);
    // A source rectangle reaching outside the bitmap is refused rather than read out of bounds.
    Picture untouched(5, 4, "TBitmap");
    DrawContext udc(untouched);
    udc.CopyRect(TRect{0, 0, 5, 4}, strip, TRect{0, 10, 5, 14});
    EXPECT_EQ(untouched.Row(0)[0], 0u);
    // Between two contexts, too.
    Picture copy(5, 4, "TBitmap");
    DrawContext cdc(copy);
    cdc.CopyRect(TRect{0, 0, 5, 4}, dc, TRect{0, 0, 5, 4});
    EXPECT_TRUE(std::equal(copy.Pixels(), copy.Pixels() + 20, frame.Pixels()));
}

TEST(PictureDrawTest, PixelsConvertBetweenColourAndPixelForm)
{
    Picture picture(2, 2, "TBitmap");
    DrawContext dc(picture);
    EXPECT_EQ(dc.SetPixel(1, 0, RGB(0xAA, 0xBB, 0xCC)), RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(picture.Row(0)[1], 0x00AABBCCu);
    EXPECT_EQ(dc.GetPixel(1, 0), 0x00CCBBAAu);
    EXPECT_EQ(dc.GetPixel(2, 0), CLR_INVALID);
    EXPECT_EQ(dc.SetPixel(-1, 0, 0), CLR_INVALID);
    DrawContext empty;
    EXPECT_EQ(empty.GetPixel(0, 0), CLR_INVALID);
}

}  // namespace
