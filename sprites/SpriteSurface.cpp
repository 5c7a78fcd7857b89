// Shared display-layer calls of the sprites.
#include "sprites/SpriteSurface.h"

namespace sprites {

plat::HResult CreateOffscreenSurface(plat::DirectDraw& Display, int32_t Width, int32_t Height,
                                     plat::DirectDrawSurface*& Surface)
{
    plat::DDSURFACEDESC Desc;
    Desc.dwFlags = plat::DDSD_CAPS | plat::DDSD_HEIGHT | plat::DDSD_WIDTH;
    Desc.ddsCaps.dwCaps = plat::DDSCAPS_OFFSCREENPLAIN;
    // A negative size must not turn into a giant unsigned one; zero is refused by the layer.
    Desc.dwWidth = static_cast<uint32_t>(Width > 0 ? Width : 0);
    Desc.dwHeight = static_cast<uint32_t>(Height > 0 ? Height : 0);
    Surface = nullptr;
    return Display.CreateSurface(&Desc, &Surface, nullptr);
}

void ReleaseSurface(plat::DirectDrawSurface*& Surface)
{
    if (Surface)
        Surface->Release();
    Surface = nullptr;
}

plat::HResult BlitWithRetry(plat::DirectDrawSurface& Target, int32_t X, int32_t Y, plat::DirectDrawSurface& Source,
                            const plat::TRect& SourceRect, uint32_t Flags)
{
    return RetryWhileStillDrawing([&] {
        return Target.BltFast(static_cast<uint32_t>(X), static_cast<uint32_t>(Y), &Source, &SourceRect, Flags);
    });
}

const char* BlitErrorName(plat::HResult Code)
{
    // The invalid-parameters name lacks its first D in the texts users have seen for years.
    switch (Code) {
    case plat::DDERR_UNSUPPORTED: return "DDERR_UNSUPPORTED";
    case plat::DDERR_GENERIC: return "DDERR_GENERIC";
    case plat::DDERR_INVALIDPARAMS: return "DERR_INVALIDPARAMS";
    case plat::DDERR_EXCEPTION: return "DDERR_EXCEPTION";
    case plat::DDERR_INVALIDOBJECT: return "DDERR_INVALIDOBJECT";
    case plat::DDERR_INVALIDRECT: return "DDERR_INVALIDRECT";
    case plat::DDERR_SURFACEBUSY: return "DDERR_SURFACEBUSY";
    case plat::DDERR_NOBLTHW: return "DDERR_NOBLTHW";
    default: return "";
    }
}

}  // namespace sprites
