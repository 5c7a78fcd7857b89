// Colour fill and fast blit. Each call validates its rectangles once (a rectangle that reaches
// outside a surface is refused, never written), picks the row routine once, and runs it.
#include "platform/display/Blit.h"
#include "platform/display/DDraw.h"
#include "platform/display/Screen.h"
#include "platform/display/SurfaceState.h"

namespace plat {
namespace {

bool Inside(const TRect& R, int Width, int Height)
{
    return R.Left >= 0 && R.Top >= 0 && R.Right <= Width && R.Bottom <= Height && R.Right >= R.Left &&
        R.Bottom >= R.Top;
}

}  // namespace

HResult DirectDrawSurface::Blt(const TRect* Dest, DirectDrawSurface* Source, const TRect* SourceRect, uint32_t Flags,
                               const DDBLTFX* Fx)
{
    if ((Flags & DDBLT_COLORFILL) == 0 || Source != nullptr || SourceRect != nullptr)
        return DDERR_UNSUPPORTED;
    if (Fx == nullptr)
        return DDERR_INVALIDPARAMS;
    if (const HResult usable = CheckUsable(); usable != DD_OK)
        return usable;
    State& s = *FState;
    const TRect area = Dest != nullptr ? *Dest : TRect{0, 0, FWidth, FHeight};
    if (!Inside(area, FWidth, FHeight))
        return DDERR_INVALIDRECT;
    if (s.Kind == State::Role::Primary) {
        // The front buffer is the screen's: fill the spare buffer and show it.
        if (Dest != nullptr && !(area == TRect{0, 0, FWidth, FHeight}))
            return DDERR_UNSUPPORTED;
        FrameMailbox& frames = s.Device->Bound->Frames();
        blit::Fill(frames.Buffer(s.SpareBuffer), s.Pitch, FWidth, FHeight, Fx->dwFillColor);
        s.SpareBuffer = frames.Publish(s.SpareBuffer);
        return DD_OK;
    }
    blit::Fill(s.Pixels + static_cast<intptr_t>(area.Top) * s.Pitch + area.Left, s.Pitch, area.Width(), area.Height(),
               Fx->dwFillColor);
    return DD_OK;
}

HResult DirectDrawSurface::BltFast(uint32_t X, uint32_t Y, DirectDrawSurface* Source, const TRect* SourceRect,
                                   uint32_t Trans)
{
    if (Source == nullptr)
        return DDERR_INVALIDPARAMS;
    if ((Trans & DDBLTFAST_DESTCOLORKEY) != 0)
        return DDERR_UNSUPPORTED;
    State& d = *FState;
    State& s = *Source->FState;
    if (d.Kind == State::Role::Primary || s.Kind == State::Role::Primary)
        return DDERR_UNSUPPORTED;
    if (const HResult usable = CheckUsable(); usable != DD_OK)
        return usable;
    if (const HResult usable = Source->CheckUsable(); usable != DD_OK)
        return usable;
    const bool keyed = (Trans & DDBLTFAST_SRCCOLORKEY) != 0;
    if (keyed && !s.HasKey)
        return DDERR_NOCOLORKEY;
    const TRect from = SourceRect != nullptr ? *SourceRect : TRect{0, 0, Source->FWidth, Source->FHeight};
    if (!Inside(from, Source->FWidth, Source->FHeight) || X > static_cast<uint32_t>(FWidth) ||
        Y > static_cast<uint32_t>(FHeight) || static_cast<int64_t>(X) + from.Width() > FWidth ||
        static_cast<int64_t>(Y) + from.Height() > FHeight)
        return DDERR_INVALIDRECT;
    if (from.Empty())
        return DD_OK;
    uint32_t* to = d.Pixels + static_cast<intptr_t>(Y) * d.Pitch + X;
    const uint32_t* first = s.Pixels + static_cast<intptr_t>(from.Top) * s.Pitch + from.Left;
    if (keyed)
        blit::CopyKeyed(to, d.Pitch, first, s.Pitch, from.Width(), from.Height(), s.Key);
    else
        blit::Copy(to, d.Pitch, first, s.Pitch, from.Width(), from.Height());
    return DD_OK;
}

}  // namespace plat
