// The full-screen flip chain the display host opens, for the display tests and the benchmarks:
// the display object on a screen at the exclusive level, the display mode, the primary surface
// with one back buffer, and that back buffer.
#pragma once

#include "platform/display/DDraw.h"

namespace testsupport {

// The description of a primary flip chain with one back buffer.
inline plat::DDSURFACEDESC FlipChainDesc()
{
    plat::DDSURFACEDESC desc;
    desc.dwFlags = plat::DDSD_CAPS | plat::DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP | plat::DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    return desc;
}

// Opens the chain on AScreen at Width x Height in 32 bits; the result of the first step that
// fails, DD_OK when all is open. What was opened is left in the pointers for the caller to release.
inline plat::HResult OpenFlipChain(plat::Screen& AScreen, int Width, int Height, plat::DirectDraw*& Display,
                                   plat::DirectDrawSurface*& Primary, plat::DirectDrawSurface*& Back)
{
    plat::HResult result = plat::DirectDrawCreate(nullptr, &Display, nullptr);
    if (result == plat::DD_OK)
        result = Display->SetCooperativeLevel(&AScreen, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN);
    if (result == plat::DD_OK)
        result = Display->SetDisplayMode(Width, Height, 32);
    const plat::DDSURFACEDESC desc = FlipChainDesc();
    if (result == plat::DD_OK)
        result = Display->CreateSurface(&desc, &Primary, nullptr);
    plat::DDSCAPS caps;
    caps.dwCaps = plat::DDSCAPS_BACKBUFFER;
    if (result == plat::DD_OK)
        result = Primary->GetAttachedSurface(&caps, &Back);
    return result;
}

}  // namespace testsupport
