// The display-layer calls that the still-image and the strip sprite share: making an off-screen
// surface of the display's format, filling it through its drawing context, releasing it, the
// fast blit that is retried while the blitter is busy, and the names of blit failure codes.
#pragma once

#include "platform/display/DDraw.h"

namespace sprites {

// An off-screen plain surface of Width x Height in the display's format, placed where the
// display layer chooses. The result of the creation call.
plat::HResult CreateOffscreenSurface(plat::DirectDraw& Display, int32_t Width, int32_t Height,
                                     plat::DirectDrawSurface*& Surface);

// Releases the surface if there is one and clears the pointer.
void ReleaseSurface(plat::DirectDrawSurface*& Surface);

// Runs Call again at once for as long as it answers that the display is still drawing; returns
// the first other answer. Asking the layer to wait would block inside it; retrying here keeps
// the frame's thread in charge, and the busy state lasts only as long as work already under way.
template <class CallFn>
plat::HResult RetryWhileStillDrawing(CallFn&& Call)
{
    plat::HResult Result;
    do
        Result = Call();
    while (Result == plat::DDERR_WASSTILLDRAWING);
    return Result;
}

// Fast blit of Source's SourceRect to (X, Y) on Target, repeated at once for as long as the
// blitter answers that it is still drawing. The final result.
plat::HResult BlitWithRetry(plat::DirectDrawSurface& Target, int32_t X, int32_t Y, plat::DirectDrawSurface& Source,
                            const plat::TRect& SourceRect, uint32_t Flags);

// The name appended to a blit failure text ("DDERR_INVALIDRECT"); empty for a code without one.
const char* BlitErrorName(plat::HResult Code);

}  // namespace sprites
