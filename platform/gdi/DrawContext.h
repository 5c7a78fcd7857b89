// A drawing context: text, pixels and pictures drawn onto 32-bit pixels (0x00RRGGBB) that belong
// to a display surface or to a picture. Colours are given in the 0x00BBGGRR form (red in the low
// byte) and converted to the pixel format here.
//
// A context starts with no font, text colour black, background colour white and background mode
// OPAQUE, as a fresh context of the window system does. Text bytes are in the system's code page,
// which is UTF-8: each well-formed UTF-8 sequence is drawn as its character and every other byte
// as its Windows-1252 character (so a lone 0xB0 is a degree sign). Text is anti-aliased and
// blended onto the pixels. Nothing is ever written outside the pixels, whatever the coordinates.
//
// A context is used by one thread at a time. Drawing text, pixels and pictures allocates nothing
// once the font's glyphs are cached.
#pragma once

#include <cstdint>

#include "platform/gdi/Font.h"
#include "platform/types/Geometry.h"

namespace plat {

class Picture;
class TextLayout;

using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t R, uint8_t G, uint8_t B)
{
    return static_cast<COLORREF>(R) | (static_cast<COLORREF>(G) << 8) | (static_cast<COLORREF>(B) << 16);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// ExtTextOutA options.
constexpr uint32_t ETO_OPAQUE = 0x2;
constexpr uint32_t ETO_CLIPPED = 0x4;

// Conversions between a colour value and a 32-bit pixel.
constexpr uint32_t ColorToPixel(COLORREF C)
{
    return ((C & 0xFFu) << 16) | (C & 0xFF00u) | ((C >> 16) & 0xFFu);
}
constexpr COLORREF PixelToColor(uint32_t P)
{
    return ((P >> 16) & 0xFFu) | (P & 0xFF00u) | ((P & 0xFFu) << 16);
}

class DrawContext {
public:
    DrawContext() = default;
    // A context on pixels owned elsewhere; Pitch is in pixels.
    DrawContext(uint32_t* Pixels, int Width, int Height, int Pitch) { Bind(Pixels, Width, Height, Pitch); }
    // A context on a picture's pixels (the picture must outlive the context and keep its size).
    explicit DrawContext(Picture& APicture);

    // Points the context at other pixels and resets it to the fresh state.
    void Bind(uint32_t* Pixels, int Width, int Height, int Pitch);
    void Reset();

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // Selects a font for the following text; returns the one selected before (null at first).
    Font* SelectObject(Font* AFont);
    Font* SelectedFont() const { return FFont; }

    // Return the previous value.
    int SetBkMode(int Mode);
    COLORREF SetTextColor(COLORREF Color);
    COLORREF SetBkColor(COLORREF Color);

    // Text with its cell's top-left corner at (X, Y). Count -1 means up to the terminating zero.
    // False without a font.
    bool TextOutA(int X, int Y, const char* Text, int Count);
    // The same; with ETO_CLIPPED nothing is drawn outside Rect, with ETO_OPAQUE Rect is first
    // filled with the background colour. Dx (per-character advances) is not supported and must be
    // null.
    bool ExtTextOutA(int X, int Y, uint32_t Options, const TRect* Rect, const char* Text, int Count, const int* Dx);
    // Width of the text and the cell height of the selected font. False without a font.
    bool GetTextExtentPoint32A(const char* Text, int Count, TSize* Size) const;
    // The same for a measured text: with the font it was measured for selected, these cost the
    // glyphs inside the clip (drawing) or nothing (measuring), however long the text.
    bool ExtTextOutA(int X, int Y, uint32_t Options, const TRect* Rect, const TextLayout& Text);
    bool GetTextExtentPoint32A(const TextLayout& Text, TSize* Size) const;

    // CLR_INVALID outside the pixels.
    COLORREF GetPixel(int X, int Y) const;
    // Returns the colour actually set, CLR_INVALID outside the pixels.
    COLORREF SetPixel(int X, int Y, COLORREF Color);

    // The picture at its natural size with its top-left corner at (X, Y).
    void Draw(int X, int Y, const Picture& APicture);
    // The picture stretched into Rect, each target pixel taking the source pixel nearest to the
    // centre it maps to (no smoothing).
    void StretchDraw(const TRect& Rect, const Picture& APicture);
    // Pixels of Source's SourceRect copied into Dest of this context; equal sizes copy exactly,
    // different sizes stretch as StretchDraw does. Parts outside either side are left out.
    void CopyRect(const TRect& Dest, const DrawContext& Source, const TRect& SourceRect);
    void CopyRect(const TRect& Dest, const Picture& Source, const TRect& SourceRect);
    // The same at equal sizes only, leaving out source pixels equal to KeyPixel (0x00RRGGBB).
    void CopyRectKeyed(const TRect& Dest, const DrawContext& Source, const TRect& SourceRect, uint32_t KeyPixel);

    uint32_t* Row(int Y) const { return FPixels + static_cast<intptr_t>(Y) * FPitch; }

private:
    // The clip of a text output (the pixels, cut to Rect with ETO_CLIPPED), after the ETO_OPAQUE fill.
    TRect TextClip(uint32_t Options, const TRect* Rect);
    bool DrawText(int X, int Y, const TRect& Clip, const char* Text, int Count);
    // One glyph's coverage with its top-left at (Left, Top), blended in Ink inside Clip.
    void DrawGlyph(const Glyph& AGlyph, const uint8_t* Coverage, int Left, int Top, const TRect& Clip, uint32_t Ink);
    void FillRect(const TRect& Rect, uint32_t Pixel);
    void StretchFrom(const TRect& Dest, const uint32_t* Source, int SourcePitch, const TRect& SourceRect);

    uint32_t* FPixels = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    int FPitch = 0;
    Font* FFont = nullptr;
    int FBkMode = OPAQUE;
    COLORREF FTextColor = RGB(0, 0, 0);
    COLORREF FBkColor = RGB(255, 255, 255);
};

}  // namespace plat
