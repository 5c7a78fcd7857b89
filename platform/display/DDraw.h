// The display layer: a display object bound to a screen (platform/display/Screen.h), a primary
// surface with one back buffer that flips onto that screen, off-screen surfaces, colour fill,
// fast blits with a source colour key, loss and restore, drawing contexts, lock, capabilities and
// the gamma ramp, with the operations, flags and result codes of the first-generation DirectDraw
// interfaces the display host and the sprites are written against.
//
// Surfaces live in system memory: 32 bits per pixel, pixel value 0x00RRGGBB (blue in the low
// byte). Objects are reference counted: creation and GetAttachedSurface hand out a reference,
// Release gives it back and frees the object at zero. A display object owns the memory of the
// surfaces made through it: when it is freed, every surface still alive loses its pixels for
// good (lost, and Restore answers DDERR_INVALIDOBJECT) but stays a valid object until its last
// Release; a surface its holder forgot costs only its small bookkeeping from then on.
//
// Threads: the display object is created, bound, switched to its mode and released on the main
// thread (the screen's window calls belong there); surfaces may be created there and are then
// drawn, blitted, flipped, restored and locked by the one thread that runs the frames. Flip never
// waits for the main thread: it publishes the finished back buffer to the screen, which presents
// the newest published frame when its owner calls Screen::PresentLatest.
//
// Loss: surfaces are never lost by themselves on Linux. DirectDraw::LoseSurfaces marks every
// surface of a display object lost (as a display switch would), and a reset of the screen's render
// device marks the primary surface lost. A lost surface answers DDERR_SURFACELOST to every
// operation that reads or writes its pixels until Restore, after which its content is black.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/display/FrameLayout.h"
#include "platform/display/RefCounted.h"
#include "platform/gdi/DrawContext.h"
#include "platform/types/Geometry.h"

namespace plat {

class Screen;

// A 32-bit result; failure is the high bit set.
using HResult = uint32_t;

constexpr bool Succeeded(HResult R)
{
    return (R & 0x80000000u) == 0;
}
constexpr bool Failed(HResult R)
{
    return (R & 0x80000000u) != 0;
}

constexpr HResult DD_OK = 0;
constexpr HResult DDERR_UNSUPPORTED = 0x80004001u;
constexpr HResult DDERR_GENERIC = 0x80004005u;
constexpr HResult DDERR_OUTOFMEMORY = 0x8007000Eu;
constexpr HResult DDERR_INVALIDPARAMS = 0x80070057u;
constexpr HResult DDERR_EXCEPTION = 0x88760037u;
constexpr HResult DDERR_INVALIDMODE = 0x88760078u;
constexpr HResult DDERR_INVALIDOBJECT = 0x88760082u;
constexpr HResult DDERR_INVALIDRECT = 0x88760096u;
constexpr HResult DDERR_NOCOLORKEY = 0x887600D7u;
constexpr HResult DDERR_NOEXCLUSIVEMODE = 0x887600E1u;
constexpr HResult DDERR_NOTFLIPPABLE = 0x887600E6u;
constexpr HResult DDERR_NOTLOCKED = 0x887600F2u;
constexpr HResult DDERR_SURFACEBUSY = 0x887601AEu;
constexpr HResult DDERR_SURFACELOST = 0x887601C2u;
constexpr HResult DDERR_WASSTILLDRAWING = 0x8876021Cu;
constexpr HResult DDERR_PRIMARYSURFACEALREADYEXISTS = 0x88760234u;
constexpr HResult DDERR_NOBLTHW = 0x8876023Fu;
constexpr HResult DDERR_DCALREADYCREATED = 0x8876026Cu;
constexpr HResult DDERR_NOTFOUND = 0x887600FFu;
constexpr HResult DDERR_NOCOOPERATIVELEVELSET = 0x887600D4u;
constexpr HResult E_FAIL = 0x80004005u;

// Cooperative levels.
constexpr uint32_t DDSCL_FULLSCREEN = 0x1;
constexpr uint32_t DDSCL_NORMAL = 0x8;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;

// Surface description flags and capabilities.
constexpr uint32_t DDSD_CAPS = 0x1;
constexpr uint32_t DDSD_HEIGHT = 0x2;
constexpr uint32_t DDSD_WIDTH = 0x4;
constexpr uint32_t DDSD_PITCH = 0x8;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x20;
constexpr uint32_t DDSD_LPSURFACE = 0x800;
constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;
constexpr uint32_t DDSCAPS_BACKBUFFER = 0x4;
constexpr uint32_t DDSCAPS_COMPLEX = 0x8;
constexpr uint32_t DDSCAPS_FLIP = 0x10;
constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x20;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

// Blits.
constexpr uint32_t DDBLT_COLORFILL = 0x400;
constexpr uint32_t DDBLT_WAIT = 0x1000000;
constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr uint32_t DDBLTFAST_DESTCOLORKEY = 0x2;
constexpr uint32_t DDBLTFAST_WAIT = 0x10;

// Colour keys, flips, locks.
constexpr uint32_t DDCKEY_SRCBLT = 0x8;
constexpr uint32_t DDFLIP_WAIT = 0x1;
constexpr uint32_t DDLOCK_WAIT = 0x1;

// Capabilities.
constexpr uint32_t DDCAPS2_PRIMARYGAMMA = 0x20000;

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
};

// The identity of display device Index (0 is the first display); DirectDrawCreate with it opens
// the screen on that display.
GUID DisplayDeviceGuid(int Index);

struct DDCOLORKEY {
    uint32_t dwColorSpaceLowValue = 0;
    uint32_t dwColorSpaceHighValue = 0;
};

struct DDPIXELFORMAT {
    uint32_t dwSize = sizeof(DDPIXELFORMAT);
    uint32_t dwRGBBitCount = 0;
    uint32_t dwRBitMask = 0;
    uint32_t dwGBitMask = 0;
    uint32_t dwBBitMask = 0;
};

struct DDSCAPS {
    uint32_t dwCaps = 0;
};

struct DDSURFACEDESC {
    uint32_t dwSize = sizeof(DDSURFACEDESC);
    uint32_t dwFlags = 0;
    uint32_t dwHeight = 0;
    uint32_t dwWidth = 0;
    int32_t lPitch = 0;  // bytes
    uint32_t dwBackBufferCount = 0;
    void* lpSurface = nullptr;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDBLTFX {
    uint32_t dwSize = sizeof(DDBLTFX);
    uint32_t dwFillColor = 0;  // a pixel value
};

struct DDCAPS {
    uint32_t dwSize = sizeof(DDCAPS);
    uint32_t dwCaps = 0;
    uint32_t dwCaps2 = 0;
};

struct DDGAMMARAMP {
    uint16_t red[256];
    uint16_t green[256];
    uint16_t blue[256];
};

class DirectDrawSurface;
class DirectDrawGammaControl;
struct DisplayDevice;

class DirectDraw : public RefCounted<DirectDraw> {
public:
    DirectDraw(const DirectDraw&) = delete;
    DirectDraw& operator=(const DirectDraw&) = delete;

    // AddRef/Release: at zero the object empties the surfaces still alive, leaves the exclusive
    // mode (the screen's window closes) and is freed.

    // Binds the display object to a screen. DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN takes the screen
    // for full-screen use; a null screen is DDERR_INVALIDPARAMS.
    HResult SetCooperativeLevel(Screen* Window, uint32_t Flags);
    // Opens the bound screen at Width x Height (full screen, scaled to cover the display when the
    // display cannot switch to that mode). Bits per pixel 32 (or 24, served with 32-bit pixels).
    HResult SetDisplayMode(uint32_t Width, uint32_t Height, uint32_t BitsPerPixel);
    // A primary flip chain (DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, one back
    // buffer) or an off-screen plain surface of dwWidth x dwHeight, black. Outer must be null.
    HResult CreateSurface(const DDSURFACEDESC* Desc, DirectDrawSurface** Surface, void* Outer);
    // dwCaps2 carries DDCAPS2_PRIMARYGAMMA when the screen applies a gamma ramp to what it shows
    // (Screen::HasGammaRamp).
    HResult GetCaps(DDCAPS* DriverCaps, DDCAPS* EmulationCaps);

    // Marks every surface of this display object lost, as a display switch would.
    void LoseSurfaces();

private:
    friend class RefCounted<DirectDraw>;
    friend HResult DirectDrawCreate(const GUID*, DirectDraw**, void*);
    friend class DirectDrawSurface;
    explicit DirectDraw(int DeviceIndex);
    ~DirectDraw();
    void OrphanSurfaces();

    std::shared_ptr<DisplayDevice> FDevice;
};

// Creates the display object of the default display (Device null) or of a numbered one
// (DisplayDeviceGuid). Outer must be null.
HResult DirectDrawCreate(const GUID* Device, DirectDraw** Object, void* Outer);

class DirectDrawSurface : public RefCounted<DirectDrawSurface> {
public:
    DirectDrawSurface(const DirectDrawSurface&) = delete;
    DirectDrawSurface& operator=(const DirectDrawSurface&) = delete;

    // The back buffer of a primary flip chain (DDSCAPS_BACKBUFFER), with a new reference.
    HResult GetAttachedSurface(const DDSCAPS* Caps, DirectDrawSurface** Attached);
    // Colour fill (DDBLT_COLORFILL with Fx->dwFillColor) of Dest, or of the whole surface when
    // Dest is null. Source blits through Blt are DDERR_UNSUPPORTED.
    HResult Blt(const TRect* Dest, DirectDrawSurface* Source, const TRect* SourceRect, uint32_t Flags,
                const DDBLTFX* Fx);
    // Copies SourceRect (the whole source when null) of Source to (X, Y), 1:1. With
    // DDBLTFAST_SRCCOLORKEY, source pixels equal to the source's colour key are skipped. A source
    // rectangle outside the source, or a target outside this surface, is DDERR_INVALIDRECT.
    HResult BltFast(uint32_t X, uint32_t Y, DirectDrawSurface* Source, const TRect* SourceRect, uint32_t Trans);
    // Primary only: shows the back buffer's frame and hands the back buffer a buffer to draw the
    // next frame into (whose content is an earlier frame). DDERR_WASSTILLDRAWING while the screen
    // still draws (Screen::StillDrawing); the caller flips again.
    HResult Flip(DirectDrawSurface* Override, uint32_t Flags);
    HResult IsLost();
    // Makes a lost surface usable again with black content (the primary restores its back
    // buffer, and the back buffer its primary). The colour key is kept. DD_OK when not lost.
    HResult Restore();

    // A drawing context on the surface's pixels, valid until ReleaseDC. One at a time; not while
    // the surface is locked. The primary surface's pixels are on their way to the screen: it
    // offers neither a drawing context nor a lock (DDERR_UNSUPPORTED); draw on the back buffer.
    HResult GetDC(DrawContext** Context);
    HResult ReleaseDC(DrawContext* Context);

    // DDCKEY_SRCBLT with equal low and high values.
    HResult SetColorKey(uint32_t Flags, const DDCOLORKEY* Key);
    HResult GetColorKey(uint32_t Flags, DDCOLORKEY* Key);

    // The whole surface (Rect must be null): lpSurface, lPitch, size and pixel format.
    HResult Lock(const TRect* Rect, DDSURFACEDESC* Desc, uint32_t Flags, void* Event);
    HResult Unlock(const TRect* Rect);
    HResult GetSurfaceDesc(DDSURFACEDESC* Desc);

    // Primary only: the gamma control of the screen, with a new reference.
    HResult QueryGammaControl(DirectDrawGammaControl** Control);

    // Back buffer only: the layers of the frame it holds (Screen::SetLayers), which go to the
    // screen with it at the flip. All null for other surfaces, without layers, and while lost.
    FramePlanes Planes() const;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    struct State;

private:
    friend class RefCounted<DirectDrawSurface>;
    friend class DirectDraw;
    DirectDrawSurface(std::shared_ptr<DisplayDevice> Device, int Width, int Height);
    ~DirectDrawSurface();
    static DirectDrawSurface* CreateFlipChain(const std::shared_ptr<DisplayDevice>& Device);
    static DirectDrawSurface* CreateOffScreen(const std::shared_ptr<DisplayDevice>& Device, int Width, int Height);
    bool Lost() const;
    void Orphan();
    HResult CheckUsable() const;

    std::unique_ptr<State> FState;
    int FWidth = 0;
    int FHeight = 0;
};

class DirectDrawGammaControl : public RefCounted<DirectDrawGammaControl> {
public:
    DirectDrawGammaControl(const DirectDrawGammaControl&) = delete;
    DirectDrawGammaControl& operator=(const DirectDrawGammaControl&) = delete;

    HResult GetGammaRamp(uint32_t Flags, DDGAMMARAMP* Ramp);
    // The ramp holds while the display object is open; releasing it resets the screen's ramp.
    HResult SetGammaRamp(uint32_t Flags, const DDGAMMARAMP* Ramp);

private:
    friend class RefCounted<DirectDrawGammaControl>;
    friend class DirectDrawSurface;
    explicit DirectDrawGammaControl(std::shared_ptr<DisplayDevice> Device);
    ~DirectDrawGammaControl() = default;

    std::shared_ptr<DisplayDevice> FDevice;
};

}  // namespace plat
