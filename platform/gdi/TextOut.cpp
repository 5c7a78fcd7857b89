// Text output of the drawing context: measuring, and drawing glyph coverage blended in the text
// colour onto the pixels, clipped to the pixels and to an optional rectangle.
#include "platform/gdi/CodePage.h"
#include "platform/gdi/DrawContext.h"

namespace plat {
namespace {

int TextLength(const char* Text, int Count)
{
    if (Text == nullptr)
        return 0;
    if (Count >= 0)
        return Count;
    int length = 0;
    while (Text[length] != '\0')
        ++length;
    return length;
}

// Width of the text; the font's lock is held.
int MeasureLocked(Font& AFont, const char* Text, int Length)
{
    int width = 0;
    for (int pos = 0; pos < Length;)
        width += AFont.GlyphOf(NextCharacter(Text, Length, pos)).Advance;
    return width;
}

uint32_t Blend(uint32_t Under, uint32_t Over, uint32_t Alpha)
{
    const uint32_t inverse = 255 - Alpha;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t a = (Under >> shift) & 0xFF, b = (Over >> shift) & 0xFF;
        result |= ((a * inverse + b * Alpha + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

bool DrawContext::TextOutA(int X, int Y, const char* Text, int Count)
{
    return ExtTextOutA(X, Y, 0, nullptr, Text, Count, nullptr);
}

bool DrawContext::ExtTextOutA(int X, int Y, uint32_t Options, const TRect* Rect, const char* Text, int Count,
                              const int* Dx)
{
    if (FFont == nullptr || Dx != nullptr)
        return false;
    TRect clip{0, 0, FWidth, FHeight};
    if (Rect != nullptr && (Options & ETO_OPAQUE) != 0)
        FillRect(*Rect, ColorToPixel(FBkColor));
    if (Rect != nullptr && (Options & ETO_CLIPPED) != 0)
        clip = Intersect(clip, *Rect);
    return DrawText(X, Y, clip, Text, TextLength(Text, Count));
}

bool DrawContext::GetTextExtentPoint32A(const char* Text, int Count, TSize* Size) const
{
    if (FFont == nullptr || Size == nullptr)
        return false;
    FFont->Lock();
    Size->cx = MeasureLocked(*FFont, Text, TextLength(Text, Count));
    FFont->Unlock();
    Size->cy = FFont->CellHeight();
    return true;
}

bool DrawContext::DrawText(int X, int Y, const TRect& Clip, const char* Text, int Count)
{
    Font& font = *FFont;
    font.Lock();
    if (FBkMode == OPAQUE) {
        const TRect cell{X, Y, X + MeasureLocked(font, Text, Count), Y + font.CellHeight()};
        FillRect(Intersect(cell, Clip), ColorToPixel(FBkColor));
    }
    const uint32_t ink = ColorToPixel(FTextColor);
    const int baseline = Y + font.Ascent();
    int pen = X;
    for (int pos = 0; pos < Count;) {
        const Glyph& glyph = font.GlyphOf(NextCharacter(Text, Count, pos));
        const uint8_t* coverage = font.Coverage(glyph);
        const int left = pen + glyph.Left, top = baseline - glyph.Top;
        const TRect area = Intersect(TRect{left, top, left + glyph.Width, top + glyph.Height}, Clip);
        for (int y = area.Top; y < area.Bottom; ++y) {
            const uint8_t* cover = coverage + static_cast<intptr_t>(y - top) * glyph.Width;
            uint32_t* row = Row(y);
            for (int x = area.Left; x < area.Right; ++x) {
                const uint32_t alpha = cover[x - left];
                if (alpha == 255)
                    row[x] = ink;
                else if (alpha != 0)
                    row[x] = Blend(row[x], ink, alpha);
            }
        }
        pen += glyph.Advance;
    }
    font.Unlock();
    return true;
}

}  // namespace plat
