// Measuring a text once: code points, pen positions and how far the glyphs' ink reaches around
// their pens, which bounds the characters a clip window can show.
#include "platform/gdi/TextLayout.h"

#include <algorithm>

#include "platform/gdi/CodePage.h"
#include "platform/gdi/Font.h"

namespace plat {

TextLayout::TextLayout(Font* AFont, std::string AText) : FFont(AFont), FText(std::move(AText))
{
    if (FFont == nullptr)
        return;
    const int length = static_cast<int>(FText.size());
    FGlyphs.reserve(FText.size());
    FPens.reserve(FText.size() + 1);
    int32_t pen = 0;
    for (int pos = 0; pos < length;) {
        const uint32_t code = NextCharacter(FText.data(), length, pos);
        // One glyph per lock: a frame drawing with this font waits for one glyph at most. The
        // font keeps each glyph in place for its life, so the pointer stays good.
        FFont->Lock();
        const Glyph& glyph = FFont->GlyphOf(code);
        FFont->Unlock();
        FGlyphs.push_back(&glyph);
        FPens.push_back(pen);
        if (glyph.Width > 0) {
            FInkBefore = std::max(FInkBefore, -glyph.Left);
            FInkAfter = std::max(FInkAfter, glyph.Left + glyph.Width);
        }
        pen += glyph.Advance;
    }
    FPens.push_back(pen);
}

int TextLayout::FirstInk(int32_t Left) const
{
    // Pens never move backwards, so the characters that can show form one run from here.
    const auto pens = FPens.begin();
    return static_cast<int>(std::upper_bound(pens, pens + Characters(), Left - FInkAfter) - pens);
}

}  // namespace plat
