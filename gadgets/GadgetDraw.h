// What the three gadgets share for drawing text onto the host's back surface: the gadget font
// (MyCreateFont), the back surface's drawing context for one draw, and texts measured in advance
// for a gadget font, which the UI thread makes when a value changes so that a frame only draws.
#pragma once

#include "engine/Kss.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/TextLayout.h"

#include <string>

namespace gadgets {

// A font with that cell height in pixels, width 0, no escapement or orientation, the given
// weight, upright, neither underlined nor struck out, ANSI character set, default output and
// clipping precision, proof quality and variable pitch, from Fonts (the application's); selected
// into the context. The caller deletes it.
plat::Font* MyCreateFont(plat::FontCache& Fonts, const char* FaceName, int Height, int Weight,
                         plat::DrawContext& Context);

// Text measured for the font MyCreateFont gives for that face, height and weight.
plat::TextLayout MeasuredText(plat::FontCache& Fonts, const char* FaceName, int Height, int Weight, std::string Text);

// Runs Paint on the drawing context of the host's back surface and gives the context back; false,
// with nothing run, when the host has no back surface or the surface refuses its context.
template <class PaintFn>
bool WithBackContext(TKss* Host, PaintFn&& Paint)
{
    plat::DirectDrawSurface* Back = Host != nullptr ? Host->GetBack() : nullptr;
    plat::DrawContext* Context = nullptr;
    if (Back == nullptr || plat::Failed(Back->GetDC(&Context)) || Context == nullptr)
        return false;
    Paint(*Context);
    Back->ReleaseDC(Context);
    return true;
}

}  // namespace gadgets
