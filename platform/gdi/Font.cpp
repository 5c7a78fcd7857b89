// Fonts through fontconfig (choosing the installed face nearest to the requested one) and
// FreeType (rasterising glyphs, anti-aliased with light hinting). See Font.h for the sharing and
// caching rules.
#include "platform/gdi/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace plat {

struct Font::Impl {
    ~Impl()
    {
        if (Face != nullptr)
            FT_Done_Face(Face);
        if (Library != nullptr)
            FT_Done_FreeType(Library);
    }

    std::mutex Lock;
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    std::string File;
    std::string RequestedFace;
    int RequestedHeight = 0;
    bool Embolden = false;
    std::unordered_map<uint32_t, Glyph> Glyphs;
    std::vector<uint8_t> Store;
};

namespace {

// Text this tall (cell pixels) is drawn at a high-resolution screen's scale, where light hinting
// leaves most vertical stems straddling two pixels and the text looks soft beside small text
// snapped to the pixels: it is hinted across too, and its edges are made a little steeper.
constexpr int kLargeText = 32;
constexpr double kLargeTextContrast = 1.4;

template <class Iterator>
void Steepen(Iterator First, Iterator Last)
{
    for (; First != Last; ++First)
        *First = static_cast<uint8_t>(std::clamp(std::lround((*First - 127.5) * kLargeTextContrast + 127.5), 0L, 255L));
}

constexpr int kDefaultCellHeight = 16;
constexpr size_t kGlyphsReserved = 256;

struct FaceMatch {
    std::string File;
    int Index = 0;
    int Weight = FC_WEIGHT_REGULAR;
};

// Config is made on first use (fontconfig reads the installed fonts then).
bool MatchFace(FcConfig*& Config, const char* Family, int Weight, FaceMatch& Match)
{
    if (Config == nullptr)
        Config = FcInitLoadConfigAndFonts();
    if (Config == nullptr)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(Weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(Config, pattern, &result);
    FcPatternDestroy(pattern);
    if (found == nullptr)
        return false;
    FcChar8* file = nullptr;
    const bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch;
    if (ok)
        Match.File = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(found, FC_INDEX, 0, &Match.Index);
    FcPatternGetInteger(found, FC_WEIGHT, 0, &Match.Weight);
    FcPatternDestroy(found);
    return ok;
}

// The face's ascent and descent in font units: the Windows metrics where the face has them, as
// the callers' cell heights are meant in those.
void CellMetrics(FT_Face Face, double& Ascent, double& Descent)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        Ascent = os2->usWinAscent;
        Descent = os2->usWinDescent;
    } else {
        Ascent = Face->ascender;
        Descent = -Face->descender;
    }
    if (Ascent + Descent <= 0) {
        Ascent = Face->units_per_EM * 0.8;
        Descent = Face->units_per_EM * 0.2;
    }
}

}  // namespace

// The fonts handed out so far, and the fontconfig configuration they were matched with (the
// cache's own, so that it is released with the cache instead of living on in the library).
struct FontCache::State {
    ~State()
    {
        Fonts.clear();
        if (Config != nullptr)
            FcConfigDestroy(Config);
    }

    std::mutex Lock;
    std::vector<std::unique_ptr<Font>> Fonts;
    FcConfig* Config = nullptr;
};

FontCache::FontCache() : FState(std::make_unique<State>()) {}

FontCache::~FontCache() = default;

Font::~Font() = default;

const char* Font::FaceFile() const
{
    return FImpl->File.c_str();
}

void Font::Lock()
{
    FImpl->Lock.lock();
}

void Font::Unlock()
{
    FImpl->Lock.unlock();
}

const uint8_t* Font::Coverage(const Glyph& AGlyph) const
{
    return FImpl->Store.data() + AGlyph.Offset;
}

const Glyph& Font::GlyphOf(uint32_t CodePoint)
{
    Impl& f = *FImpl;
    if (auto it = f.Glyphs.find(CodePoint); it != f.Glyphs.end())
        return it->second;
    Glyph glyph;
    const FT_UInt index = FT_Get_Char_Index(f.Face, CodePoint);
    const bool large = f.RequestedHeight >= kLargeText;
    const FT_Int32 load = large ? FT_LOAD_TARGET_NORMAL | FT_LOAD_FORCE_AUTOHINT : FT_LOAD_TARGET_LIGHT;
    if (FT_Load_Glyph(f.Face, index, load) == 0) {
        FT_GlyphSlot slot = f.Face->glyph;
        if (f.Embolden)
            FT_GlyphSlot_Embolden(slot);
        glyph.Advance = static_cast<int32_t>(std::lround(slot->linearHoriAdvance / 65536.0));
        const FT_Render_Mode mode = large ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_LIGHT;
        if (FT_Render_Glyph(slot, mode) == 0 && slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const FT_Bitmap& bitmap = slot->bitmap;
            glyph.Left = slot->bitmap_left;
            glyph.Top = slot->bitmap_top;
            glyph.Width = static_cast<int32_t>(bitmap.width);
            glyph.Height = static_cast<int32_t>(bitmap.rows);
            glyph.Offset = static_cast<uint32_t>(f.Store.size());
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const uint8_t* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
                f.Store.insert(f.Store.end(), line, line + bitmap.width);
                if (large)
                    Steepen(f.Store.end() - bitmap.width, f.Store.end());
            }
        }
    }
    return f.Glyphs.emplace(CodePoint, glyph).first->second;
}

Font* FontCache::CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight, uint32_t Italic,
                             uint32_t Underline, uint32_t StrikeOut, uint32_t CharSet, uint32_t OutPrecision,
                             uint32_t ClipPrecision, uint32_t Quality, uint32_t PitchAndFamily, const char* FaceName)
{
    (void)Width, (void)Escapement, (void)Orientation, (void)Italic, (void)Underline, (void)StrikeOut;
    (void)CharSet, (void)OutPrecision, (void)ClipPrecision, (void)Quality, (void)PitchAndFamily;
    const char* face = FaceName != nullptr && FaceName[0] != '\0' ? FaceName : "Arial";
    const int weight = Weight > 0 ? Weight : FW_NORMAL;
    const int height = Height != 0 ? Height : kDefaultCellHeight;

    State& cache = *FState;
    std::lock_guard<std::mutex> guard(cache.Lock);
    for (auto& font : cache.Fonts)
        if (font->FImpl->RequestedHeight == height && font->FWeight == weight && font->FImpl->RequestedFace == face) {
            ++font->FReferences;
            return font.get();
        }

    FaceMatch match;
    if (!MatchFace(cache.Config, face, weight, match))
        return nullptr;
    auto impl = std::make_unique<Font::Impl>();
    if (FT_Init_FreeType(&impl->Library) != 0 ||
        FT_New_Face(impl->Library, match.File.c_str(), match.Index, &impl->Face) != 0)
        return nullptr;
    double ascent = 0, descent = 0;
    CellMetrics(impl->Face, ascent, descent);
    const double units = impl->Face->units_per_EM;
    const double emPixels = height > 0 ? height * units / (ascent + descent) : -height;
    // A fractional size: the whole-pixel sizes FreeType would round to make cells too tall.
    FT_Set_Char_Size(impl->Face, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64)), 72, 72);

    std::unique_ptr<Font> font(new Font());
    font->FCellHeight = height > 0 ? height : static_cast<int>(std::lround((ascent + descent) * emPixels / units));
    font->FAscent = static_cast<int>(std::lround(ascent * emPixels / units));
    font->FWeight = weight;
    font->FReferences = 1;
    impl->File = match.File;
    impl->RequestedFace = face;
    impl->RequestedHeight = height;
    impl->Embolden = weight >= FW_BOLD - 100 && match.Weight < FC_WEIGHT_DEMIBOLD;
    impl->Glyphs.reserve(kGlyphsReserved);
    font->FImpl = std::move(impl);
    cache.Fonts.push_back(std::move(font));
    return cache.Fonts.back().get();
}

bool DeleteObject(Font* AFont)
{
    if (AFont == nullptr)
        return false;
    // The font stays cached for the next caller who asks for it.
    int references = AFont->FReferences.load();
    while (references > 0)
        if (AFont->FReferences.compare_exchange_weak(references, references - 1))
            return true;
    return false;
}

}  // namespace plat
