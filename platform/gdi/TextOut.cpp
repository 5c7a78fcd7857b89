// Text output of the drawing context: measuring, and drawing glyph coverage blended in the text
// colour onto the pixels, clipped to the pixels and to an optional rectangle. A measured text
// (TextLayout) is drawn glyph by glyph only where it meets the clip.
#include "platform/gdi/CodePage.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/TextLayout.h"

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

// Under and Over mixed by Alpha / 255, each channel rounded as (u * (255 - a) + o * a + 127) / 255.
// Red and blue go together in two 16-bit lanes; y / 255 is (y + 1 + (y >> 8)) >> 8 for every sum
// that can occur, and no lane carries into the next.
uint32_t Blend(uint32_t Under, uint32_t Over, uint32_t Alpha)
{
    const uint32_t inverse = 255 - Alpha;
    uint32_t rb = (Under & 0xFF00FFu) * inverse + (Over & 0xFF00FFu) * Alpha + 0x7F007Fu;
    rb = ((rb + 0x10001u + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
    uint32_t g = ((Under >> 8) & 0xFFu) * inverse + ((Over >> 8) & 0xFFu) * Alpha + 0x7Fu;
    g = (g + 1 + (g >> 8)) >> 8;
    return rb | (g << 8);
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
    return DrawText(X, Y, TextClip(Options, Rect), Text, TextLength(Text, Count));
}

TRect DrawContext::TextClip(uint32_t Options, const TRect* Rect)
{
    TRect clip{0, 0, FWidth, FHeight};
    if (Rect != nullptr && (Options & ETO_OPAQUE) != 0)
        FillRect(*Rect, ColorToPixel(FBkColor));
    if (Rect != nullptr && (Options & ETO_CLIPPED) != 0)
        clip = Intersect(clip, *Rect);
    return clip;
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

void DrawContext::DrawGlyph(const Glyph& AGlyph, const uint8_t* Coverage, int Left, int Top, const TRect& Clip,
                            uint32_t Ink)
{
    const TRect area = Intersect(TRect{Left, Top, Left + AGlyph.Width, Top + AGlyph.Height}, Clip);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const uint8_t* cover = Coverage + static_cast<intptr_t>(y - Top) * AGlyph.Width;
        uint32_t* row = Row(y);
        for (int x = area.Left; x < area.Right; ++x) {
            const uint32_t alpha = cover[x - Left];
            if (alpha == 255)
                row[x] = Ink;
            else if (alpha != 0)
                row[x] = Blend(row[x], Ink, alpha);
        }
    }
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
        DrawGlyph(glyph, font.Coverage(glyph), pen + glyph.Left, baseline - glyph.Top, Clip, ink);
        pen += glyph.Advance;
    }
    font.Unlock();
    return true;
}

bool DrawContext::ExtTextOutA(int X, int Y, uint32_t Options, const TRect* Rect, const TextLayout& Text)
{
    if (FFont == nullptr || Text.MeasuredFont() != FFont)
        return ExtTextOutA(X, Y, Options, Rect, Text.Text().data(), Text.Length(), nullptr);
    const TRect clip = TextClip(Options, Rect);
    Font& font = *FFont;
    if (FBkMode == OPAQUE)
        FillRect(Intersect(TRect{X, Y, X + Text.Width(), Y + font.CellHeight()}, clip), ColorToPixel(FBkColor));
    const uint32_t ink = ColorToPixel(FTextColor);
    const int baseline = Y + font.Ascent();
    const int64_t stop = static_cast<int64_t>(clip.Right) + Text.InkBefore() - X;
    font.Lock();
    for (int i = Text.FirstInk(clip.Left - X); i < Text.Characters() && Text.PenAt(i) < stop; ++i) {
        const Glyph& glyph = Text.GlyphAt(i);
        DrawGlyph(glyph, font.Coverage(glyph), X + Text.PenAt(i) + glyph.Left, baseline - glyph.Top, clip, ink);
    }
    font.Unlock();
    return true;
}

bool DrawContext::GetTextExtentPoint32A(const TextLayout& Text, TSize* Size) const
{
    if (FFont == nullptr || Text.MeasuredFont() != FFont)
        return GetTextExtentPoint32A(Text.Text().data(), Text.Length(), Size);
    if (Size == nullptr)
        return false;
    Size->cx = Text.Width();
    Size->cy = FFont->CellHeight();
    return true;
}

}  // namespace plat
