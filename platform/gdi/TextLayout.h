// A text measured once for one font, so that a text of any length costs per use only the glyphs
// that fall inside the clip window: the characters' code points and pen positions are worked out
// (and their glyphs rasterised) when the layout is made, not when it is drawn.
//
// A layout is immutable once made and may be read by any number of threads; making one takes the
// font's lock one glyph at a time, so a thread drawing with the same font never waits for a whole
// long text. Measuring and drawing a layout with DrawContext allocate nothing; with another font
// selected than the one it was made for, the context measures and draws its bytes as plain text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class Font;
struct Glyph;

class TextLayout {
public:
    TextLayout() = default;
    // Text bytes in the system's code page (see DrawContext.h); a null font measures nothing.
    TextLayout(Font* AFont, std::string AText);

    Font* MeasuredFont() const { return FFont; }
    const std::string& Text() const { return FText; }
    int Length() const { return static_cast<int>(FText.size()); }
    // The whole text's width: the sum of its advances.
    int32_t Width() const { return FPens.empty() ? 0 : FPens.back(); }

    int Characters() const { return static_cast<int>(FGlyphs.size()); }
    // The glyph of character Index (the font's own, valid for the font's life).
    const Glyph& GlyphAt(int Index) const { return *FGlyphs[static_cast<size_t>(Index)]; }
    // The pen offset of character Index from the text's start; Characters() gives Width().
    int32_t PenAt(int Index) const { return FPens[static_cast<size_t>(Index)]; }
    // The first character whose ink may reach column Left or beyond, for a pen starting at 0.
    int FirstInk(int32_t Left) const;
    // The farthest any glyph's ink starts left of its pen: no character whose pen is at
    // Right + InkBefore() or beyond reaches a column before Right.
    int32_t InkBefore() const { return FInkBefore; }

private:
    Font* FFont = nullptr;
    std::string FText;
    std::vector<const Glyph*> FGlyphs;
    std::vector<int32_t> FPens;  // one per character and the end
    int32_t FInkBefore = 0;  // the farthest any glyph's ink starts left of its pen
    int32_t FInkAfter = 0;  // the farthest any glyph's ink ends right of its pen
};

}  // namespace plat
