// Fonts for text output: CreateFontA finds the installed face nearest to the requested one
// (through fontconfig; "Arial" resolves to a metric-compatible face) and sizes it so that a
// positive height is the character cell height in pixels, ascent plus descent, taken from the
// face's Windows ascent and descent metrics.
//
// Callers create and delete a font around every use, once per frame. Fonts are therefore shared:
// a font cache's CreateFontA hands out the one font object it keeps for each face, height and
// weight, and DeleteObject only gives the caller's reference back. A font keeps its rasterised
// glyphs as long as its cache lives, so after the first frames text costs neither allocation nor
// rasterising. The cache has an owner: the application object (Application::Fonts), or a tool's
// or test's own; its fonts go with it. A font may be used from any thread; its glyph cache has
// its own lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace plat {

constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr uint32_t ANSI_CHARSET = 0;
constexpr uint32_t DEFAULT_CHARSET = 1;
constexpr uint32_t OUT_DEFAULT_PRECIS = 0;
constexpr uint32_t CLIP_DEFAULT_PRECIS = 0;
constexpr uint32_t DEFAULT_QUALITY = 0;
constexpr uint32_t PROOF_QUALITY = 2;
constexpr uint32_t ANTIALIASED_QUALITY = 4;
constexpr uint32_t DEFAULT_PITCH = 0;
constexpr uint32_t VARIABLE_PITCH = 2;

// One rasterised glyph: an 8-bit coverage bitmap placed relative to the pen on the baseline.
struct Glyph {
    int32_t Left = 0;  // first bitmap column, from the pen position
    int32_t Top = 0;  // first bitmap row, upward from the baseline
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Advance = 0;  // whole pixels the pen moves on
    uint32_t Offset = 0;  // of the coverage bytes in the font's store
};

class Font {
public:
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    int CellHeight() const { return FCellHeight; }
    int Ascent() const { return FAscent; }
    int Descent() const { return FCellHeight - FAscent; }
    int Weight() const { return FWeight; }
    // The file of the face that was matched, for diagnostics and tests.
    const char* FaceFile() const;

    // The glyph of a Unicode code point, rasterised on first use; call with the lock held (Lock/
    // Unlock around a whole text). A glyph stays in place for the font's life, so a reference to
    // it may be kept; the coverage store may move when glyphs are added, so Coverage is valid only
    // while the lock is held.
    const Glyph& GlyphOf(uint32_t CodePoint);
    const uint8_t* Coverage(const Glyph& AGlyph) const;
    void Lock();
    void Unlock();

    struct Impl;

private:
    friend class FontCache;
    friend bool DeleteObject(Font*);
    Font() = default;

    std::unique_ptr<Impl> FImpl;
    int FCellHeight = 0;
    int FAscent = 0;
    int FWeight = FW_NORMAL;
    std::atomic<int> FReferences{0};
};

class FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font for a cell height (a positive Height; a negative one is taken as the character height
    // without internal leading, 0 as a default of 16 pixels), a weight and a face name; the other
    // arguments are accepted as the callers pass them and change nothing. Null when no face at all is
    // installed.
    Font* CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight, uint32_t Italic,
                      uint32_t Underline, uint32_t StrikeOut, uint32_t CharSet, uint32_t OutPrecision,
                      uint32_t ClipPrecision, uint32_t Quality, uint32_t PitchAndFamily, const char* FaceName);

    struct State;

private:
    std::unique_ptr<State> FState;
};

// Gives back a reference from CreateFontA. False for a null font.
bool DeleteObject(Font* AFont);

}  // namespace plat
