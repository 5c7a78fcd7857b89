// The gadget font and texts measured for it.
#include "gadgets/GadgetDraw.h"

namespace gadgets {
namespace {

plat::Font* GadgetFont(plat::FontCache& Fonts, const char* FaceName, int Height, int Weight)
{
    return Fonts.CreateFontA(Height, 0, 0, 0, Weight, 0, 0, 0, plat::ANSI_CHARSET, plat::OUT_DEFAULT_PRECIS,
                             plat::CLIP_DEFAULT_PRECIS, plat::PROOF_QUALITY, plat::VARIABLE_PITCH, FaceName);
}

}  // namespace

plat::Font* MyCreateFont(plat::FontCache& Fonts, const char* FaceName, int Height, int Weight,
                         plat::DrawContext& Context)
{
    plat::Font* Font = GadgetFont(Fonts, FaceName, Height, Weight);
    Context.SelectObject(Font);
    return Font;
}

plat::TextLayout MeasuredText(plat::FontCache& Fonts, const char* FaceName, int Height, int Weight, std::string Text)
{
    // Fonts are shared per face, height and weight, so the frame's own font is this one.
    plat::Font* Font = GadgetFont(Fonts, FaceName, Height, Weight);
    plat::TextLayout Layout(Font, std::move(Text));
    plat::DeleteObject(Font);
    return Layout;
}

}  // namespace gadgets
