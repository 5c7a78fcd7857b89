// Fast blits and fills against a plain per-pixel reference on random surfaces, and the refusal of
// rectangles that reach outside a surface.
#include <gtest/gtest.h>

#include <random>

#include "platform/display/Blit.h"

#include "tests/platform/display/DisplayFixture.h"

using namespace plat;
using testsupport::ReadPixels;
using testsupport::WritePixels;

namespace {

// The reference blitter: one pixel at a time, no shortcuts.
void ReferenceBlit(std::vector<uint32_t>& Dest, int DestWidth, const std::vector<uint32_t>& Source, int SourceWidth,
                   int X, int Y, const TRect& From, bool Keyed, uint32_t Key)
{
    for (int y = From.Top; y < From.Bottom; ++y)
        for (int x = From.Left; x < From.Right; ++x) {
            const uint32_t pixel = Source[static_cast<size_t>(y) * SourceWidth + x];
            if (!Keyed || pixel != Key)
                Dest[static_cast<size_t>(Y + y - From.Top) * DestWidth + X + x - From.Left] = pixel;
        }
}

class BltFastTest : public testsupport::HeadlessDisplay {};

TEST_F(BltFastTest, MatchesReferenceOnRandomSurfaces)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        const int sw = 1 + static_cast<int>(random() % 40), sh = 1 + static_cast<int>(random() % 30);
        DirectDrawSurface* source = OffScreen(sw, sh);
        DirectDrawSurface* dest = OffScreen(kWidth, kHeight);
        // Few distinct values, so that the key occurs often.
        WritePixels(source, [&](int, int) { return static_cast<uint32_t>(random() % 4) * 0x00404040u; });
        WritePixels(dest, [&](int, int) { return static_cast<uint32_t>(random()) & 0x00FFFFFFu; });
        const int left = static_cast<int>(random() % sw), top = static_cast<int>(random() % sh);
        const TRect from{left, top, left + 1 + static_cast<int>(random() % (sw - left)),
                         top + 1 + static_cast<int>(random() % (sh - top))};
        const int x = static_cast<int>(random() % (kWidth - from.Width() + 1));
        const int y = static_cast<int>(random() % (kHeight - from.Height() + 1));
        const bool keyed = random() % 2 == 0;
        const uint32_t key = 0x00404040u;
        DDCOLORKEY colorKey{key, key};
        ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &colorKey), DD_OK);

        std::vector<uint32_t> expected = ReadPixels(dest);
        ReferenceBlit(expected, kWidth, ReadPixels(source), sw, x, y, from, keyed, key);
        ASSERT_EQ(dest->BltFast(x, y, source, &from, keyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY), DD_OK);
        ASSERT_EQ(ReadPixels(dest), expected) << "round " << round;
    }
}

TEST_F(BltFastTest, OverlappingBlitWithinOneSurfaceReadsSourceFirst)
{
    std::mt19937 random(99);
    for (int round = 0; round < 50; ++round) {
        DirectDrawSurface* surface = OffScreen(32, 32);
        WritePixels(surface, [&](int, int) { return static_cast<uint32_t>(random() % 3); });
        DDCOLORKEY colorKey{0, 0};
        surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
        const TRect from{4, 4, 24, 24};
        const int x = static_cast<int>(random() % 9), y = static_cast<int>(random() % 9);
        const bool keyed = round % 2 == 1;
        const std::vector<uint32_t> before = ReadPixels(surface);
        std::vector<uint32_t> expected = before;
        ReferenceBlit(expected, 32, before, 32, x, y, from, keyed, 0);
        ASSERT_EQ(surface->BltFast(x, y, surface, &from, keyed ? DDBLTFAST_SRCCOLORKEY : 0), DD_OK);
        ASSERT_EQ(ReadPixels(surface), expected) << "round " << round;
    }
}

TEST_F(BltFastTest, RectanglesOutsideEitherSurfaceAreRefused)
{
    DirectDrawSurface* source = OffScreen(10, 10);
    WritePixels(Back, [](int, int) { return 0x123456u; });
    const TRect beyondSource{5, 5, 11, 10};
    const TRect negative{-1, 0, 5, 5};
    const TRect inverted{5, 5, 4, 6};
    const TRect whole{0, 0, 10, 10};
    EXPECT_EQ(Back->BltFast(0, 0, source, &beyondSource, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Back->BltFast(0, 0, source, &negative, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Back->BltFast(0, 0, source, &inverted, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Back->BltFast(kWidth - 9, 0, source, &whole, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Back->BltFast(0, kHeight - 9, source, &whole, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Back->BltFast(0xFFFFFFF0u, 0, source, &whole, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Back->BltFast(kWidth - 10, kHeight - 10, source, &whole, 0), DD_OK);
    // Nothing was written by the refused calls: only the accepted blit's corner is black.
    const std::vector<uint32_t> pixels = ReadPixels(Back);
    EXPECT_EQ(pixels[0], 0x123456u);
    EXPECT_EQ(pixels[static_cast<size_t>(kHeight - 1) * kWidth + kWidth - 1], 0u);
}

TEST_F(BltFastTest, KeyedBlitWithoutKeyAndUnsupportedModesAreRefused)
{
    DirectDrawSurface* source = OffScreen(4, 4);
    EXPECT_EQ(Back->BltFast(0, 0, source, nullptr, DDBLTFAST_SRCCOLORKEY), DDERR_NOCOLORKEY);
    EXPECT_EQ(Back->BltFast(0, 0, source, nullptr, DDBLTFAST_DESTCOLORKEY), DDERR_UNSUPPORTED);
    EXPECT_EQ(Back->BltFast(0, 0, nullptr, nullptr, 0), DDERR_INVALIDPARAMS);
    DDCOLORKEY range{0, 5};
    EXPECT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &range), DDERR_UNSUPPORTED);
    EXPECT_EQ(Primary->BltFast(0, 0, source, nullptr, 0), DDERR_UNSUPPORTED);
}

TEST_F(BltFastTest, ColourFillCoversTheWholeSurfaceOrItsRectangle)
{
    DirectDrawSurface* surface = OffScreen(8, 6);
    DDBLTFX fx;
    fx.dwFillColor = 0x00ABCDEFu;
    ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    for (uint32_t pixel : ReadPixels(surface))
        ASSERT_EQ(pixel, 0x00ABCDEFu);
    fx.dwFillColor = 0;
    const TRect part{2, 1, 5, 3};
    ASSERT_EQ(surface->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    const std::vector<uint32_t> pixels = ReadPixels(surface);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            ASSERT_EQ(pixels[static_cast<size_t>(y) * 8 + x], inside ? 0u : 0x00ABCDEFu) << x << "," << y;
        }
    const TRect outside{6, 4, 9, 6};
    EXPECT_EQ(surface->Blt(&outside, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
}

}  // namespace

// The gamma pass: every channel value through linear ramps (per-channel slopes, the end values
// 0 and 257 among them) equals the ramp's own entry, value x slope >> 8; lengths that are not a
// whole vector's pixels included.
TEST(GammaPassTest, LinearRampsGiveTheRampsEntries)
{
    std::vector<uint32_t> source(256 * 3 + 5);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] =
            ((static_cast<uint32_t>(i % 256) * 0x00010101u) ^ (static_cast<uint32_t>(i / 256) * 0x55u)) | 0xAB000000u;
    const uint32_t slopes[][3] = {{128, 128, 128}, {256, 128, 0}, {257, 1, 255}, {0, 257, 200}};
    for (const auto& slope : slopes)
        for (size_t count : {source.size(), size_t{7}, size_t{8}, size_t{9}}) {
            std::vector<uint32_t> shown(count, 1);
            blit::ScaleChannels(shown.data(), source.data(), count, slope);
            for (size_t i = 0; i < count; ++i) {
                const uint32_t p = source[i];
                const uint32_t want = (((p >> 16) & 0xFF) * slope[0] >> 8) << 16 |
                    (((p >> 8) & 0xFF) * slope[1] >> 8) << 8 | ((p & 0xFF) * slope[2] >> 8);
                ASSERT_EQ(shown[i], want) << slope[0] << "," << slope[1] << "," << slope[2] << " pixel " << i;
            }
        }
}
