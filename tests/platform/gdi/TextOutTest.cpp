// Fonts and text: the cell height of a font is ascent plus descent as asked, extents add up,
// text lands at its top-left corner, transparent text leaves the background alone, clipped text
// stays inside its rectangle, and the code-page rule picks the same glyph for a lone 0xB0 and for
// UTF-8 "°".
#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/DrawContext.h"
#include "platform/image/Picture.h"

using namespace plat;

namespace {

Font* Arial(FontCache& Fonts, int Height, int Weight)
{
    return Fonts.CreateFontA(Height, 0, 0, 0, Weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             PROOF_QUALITY, VARIABLE_PITCH, "Arial");
}

class TextOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FontBold22 = Arial(Fonts, 22, FW_BOLD);
        ASSERT_NE(FontBold22, nullptr);
    }
    void TearDown() override { DeleteObject(FontBold22); }

    // The bounding box of pixels different from Background.
    static TRect Inked(const Picture& P, uint32_t Background)
    {
        TRect box{P.Width(), P.Height(), 0, 0};
        for (int y = 0; y < P.Height(); ++y)
            for (int x = 0; x < P.Width(); ++x)
                if (P.Row(y)[x] != Background)
                    box = TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                                std::max(box.Bottom, y + 1)};
        return box;
    }

    Picture DrawWhite(const char* Text, int X, int Y, int Width = 200, int Height = 60)
    {
        Picture picture(Width, Height, "TBitmap");
        DrawContext dc(picture);
        dc.SelectObject(FontBold22);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 255, 255));
        EXPECT_TRUE(dc.TextOutA(X, Y, Text, -1));
        return picture;
    }

    FontCache Fonts;
    Font* FontBold22 = nullptr;
};

TEST_F(TextOutTest, ArialIsMatchedToAMetricCompatibleFaceWithTheAskedCellHeight)
{
    EXPECT_NE(std::string(FontBold22->FaceFile()).find("LiberationSans-Bold"), std::string::npos)
        << FontBold22->FaceFile();
    EXPECT_EQ(FontBold22->CellHeight(), 22);
    EXPECT_EQ(FontBold22->Ascent() + FontBold22->Descent(), 22);
    EXPECT_EQ(FontBold22->Ascent(), 18);
    Picture picture(1, 1, "TBitmap");
    DrawContext dc(picture);
    dc.SelectObject(FontBold22);
    TSize size;
    ASSERT_TRUE(dc.GetTextExtentPoint32A("12:34", -1, &size));
    EXPECT_EQ(size.cy, 22);
    // Digits are 1139/2048 em and the colon 682/2048 em; at 22 / 2288 * 2048 pixels per em they
    // round to 11 and 7 pixels.
    EXPECT_EQ(size.cx, 4 * 11 + 7);
}

TEST_F(TextOutTest, FontsAreSharedPerFaceHeightAndWeight)
{
    Font* again = Arial(Fonts, 22, FW_BOLD);
    EXPECT_EQ(again, FontBold22);
    Font* regular = Arial(Fonts, 22, FW_NORMAL);
    Font* small = Arial(Fonts, 16, FW_BOLD);
    EXPECT_NE(regular, FontBold22);
    EXPECT_NE(small, FontBold22);
    EXPECT_EQ(small->CellHeight(), 16);
    EXPECT_NE(std::string(regular->FaceFile()).find("LiberationSans-Regular"), std::string::npos);
    EXPECT_TRUE(DeleteObject(again));
    EXPECT_TRUE(DeleteObject(regular));
    EXPECT_TRUE(DeleteObject(small));
    EXPECT_FALSE(DeleteObject(nullptr));
}

TEST_F(TextOutTest, ExtentsAddUpAndEmptyTextHasNoWidth)
{
    Picture picture(1, 1, "TBitmap");
    DrawContext dc(picture);
    TSize size;
    EXPECT_FALSE(dc.GetTextExtentPoint32A("x", -1, &size)) << "no font selected";
    dc.SelectObject(FontBold22);
    TSize head, tail, whole;
    ASSERT_TRUE(dc.GetTextExtentPoint32A("Weather ", -1, &head));
    ASSERT_TRUE(dc.GetTextExtentPoint32A("61...80\xB0", -1, &tail));
    ASSERT_TRUE(dc.GetTextExtentPoint32A("Weather 61...80\xB0", -1, &whole));
    EXPECT_EQ(head.cx + tail.cx, whole.cx);
    ASSERT_TRUE(dc.GetTextExtentPoint32A("Weather", 3, &size));
    TSize wea;
    ASSERT_TRUE(dc.GetTextExtentPoint32A("Wea", -1, &wea));
    EXPECT_EQ(size.cx, wea.cx);
    ASSERT_TRUE(dc.GetTextExtentPoint32A("", -1, &size));
    EXPECT_EQ(size.cx, 0);
}

TEST_F(TextOutTest, TextSitsInItsCellFromTheTopLeftCorner)
{
    const Picture picture = DrawWhite("HH", 30, 10);
    const TRect ink = Inked(picture, 0);
    Picture probe(1, 1, "TBitmap");
    DrawContext dc(probe);
    dc.SelectObject(FontBold22);
    TSize size;
    dc.GetTextExtentPoint32A("HH", -1, &size);
    // Capital letters stand on the baseline (18 pixels below the top) and reach about 70% of the
    // ascent above it.
    EXPECT_GE(ink.Left, 30);
    EXPECT_LE(ink.Right, 30 + size.cx);
    EXPECT_EQ(ink.Bottom, 10 + 18);
    EXPECT_NEAR(ink.Top, 10 + 18 - 14, 1);
    EXPECT_EQ(picture.Row(20)[ink.Left + 1], 0x00FFFFFFu) << "the stem is solid white";
}

TEST_F(TextOutTest, TransparentTextLeavesTheBackgroundAndOpaqueFillsTheCell)
{
    Picture picture(100, 40, "TBitmap");
    for (int i = 0; i < 100 * 40; ++i)
        picture.Pixels()[i] = 0x00102030u;
    DrawContext dc(picture);
    dc.SelectObject(FontBold22);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 0, 0));
    dc.TextOutA(5, 5, "I I", -1);
    // Between the two letters the background is untouched.
    int untouched = 0;
    for (int x = 5; x < 40; ++x)
        untouched += picture.Row(15)[x] == 0x00102030u;
    EXPECT_GT(untouched, 3);
    EXPECT_NE(Inked(picture, 0x00102030u).Right, 0) << "red text was drawn";

    Picture opaque(100, 40, "TBitmap");
    DrawContext odc(opaque);
    odc.SelectObject(FontBold22);
    odc.SetBkColor(RGB(0, 0, 255));
    odc.TextOutA(5, 5, "I I", -1);
    TSize size;
    odc.GetTextExtentPoint32A("I I", -1, &size);
    EXPECT_EQ(opaque.Row(5)[5], 0x000000FFu) << "the cell is filled with the background colour";
    EXPECT_EQ(opaque.Row(5 + 21)[5 + size.cx - 1], 0x000000FFu);
    EXPECT_EQ(opaque.Row(5 + 22)[5], 0u);
}

TEST_F(TextOutTest, ClippedTextStaysInsideTheRectangle)
{
    Picture picture(300, 60, "TBitmap");
    DrawContext dc(picture);
    dc.SelectObject(FontBold22);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    const TRect window{15, 10, 120, 30};
    // A ticker line entering from the right, running past the left edge, and off the pixels.
    ASSERT_TRUE(dc.ExtTextOutA(-40, 8, ETO_CLIPPED, &window, "Breaking: Coastal fog lifts by noon", -1, nullptr));
    ASSERT_TRUE(dc.ExtTextOutA(100, 8, ETO_CLIPPED, &window, "WWWWWWWWWWWWWWWWWWWWWWWWW", -1, nullptr));
    const TRect ink = Inked(picture, 0);
    EXPECT_GE(ink.Left, window.Left);
    EXPECT_GE(ink.Top, window.Top);
    EXPECT_LE(ink.Right, window.Right);
    EXPECT_LE(ink.Bottom, window.Bottom);
    EXPECT_FALSE(ink.Empty());
    // Text far outside the pixels draws nothing and does not fault.
    ASSERT_TRUE(dc.TextOutA(-100000, 100000, "far away", -1));
    ASSERT_TRUE(dc.TextOutA(290, -10, "edge", -1));
}

TEST_F(TextOutTest, LoneDegreeByteDrawsTheSameGlyphAsUtf8Degree)
{
    const Picture lone = DrawWhite("75\xB0", 10, 10);
    const Picture utf8 = DrawWhite("75\xC2\xB0", 10, 10);
    EXPECT_TRUE(std::equal(lone.Pixels(), lone.Pixels() + 200 * 60, utf8.Pixels()));
    const Picture digits = DrawWhite("75", 10, 10);
    EXPECT_FALSE(std::equal(lone.Pixels(), lone.Pixels() + 200 * 60, digits.Pixels())) << "a degree sign was drawn";
    const Picture euro1252 = DrawWhite("\x80", 10, 10);
    const Picture euroUtf8 = DrawWhite("\xE2\x82\xAC", 10, 10);
    EXPECT_TRUE(std::equal(euro1252.Pixels(), euro1252.Pixels() + 200 * 60, euroUtf8.Pixels()));
}

TEST_F(TextOutTest, AntiAliasedEdgesBlendWithTheBackground)
{
    const Picture picture = DrawWhite("O", 10, 10);
    int partial = 0;
    for (int i = 0; i < 200 * 60; ++i) {
        const uint32_t p = picture.Pixels()[i];
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_TRUE(r == g && g == b) << "white on black stays grey";
        partial += p != 0 && p != 0x00FFFFFFu;
    }
    EXPECT_GT(partial, 4);
}

}  // namespace
