// Surfaces: creation of the flip chain and of off-screen surfaces, references, loss and restore,
// flip, drawing contexts, colour keys, lock and the gamma control. Blits are in SurfaceBlit.cpp.
#include <new>

#include "platform/display/Blit.h"
#include "platform/display/DDraw.h"
#include "platform/display/Screen.h"
#include "platform/display/SurfaceState.h"

namespace plat {
namespace {

void DescribeSurface(const DirectDrawSurface::State& S, int Width, int Height, DDSURFACEDESC* Desc)
{
    Desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    Desc->dwWidth = static_cast<uint32_t>(Width);
    Desc->dwHeight = static_cast<uint32_t>(Height);
    Desc->lPitch = S.Pitch * 4;
    Desc->dwBackBufferCount = 0;
    Desc->lpSurface = nullptr;
    Desc->ddpfPixelFormat.dwRGBBitCount = 32;
    Desc->ddpfPixelFormat.dwRBitMask = 0x00FF0000u;
    Desc->ddpfPixelFormat.dwGBitMask = 0x0000FF00u;
    Desc->ddpfPixelFormat.dwBBitMask = 0x000000FFu;
    using Role = DirectDrawSurface::State::Role;
    Desc->ddsCaps.dwCaps = S.Kind == Role::Primary
        ? DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_FRONTBUFFER
        : S.Kind == Role::Back ? DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX
                               : DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
}

}  // namespace

DirectDrawSurface::DirectDrawSurface(std::shared_ptr<DisplayDevice> Device, int Width, int Height)
    : FState(std::make_unique<State>(std::move(Device), State::Role::OffScreen)), FWidth(Width), FHeight(Height)
{
    FState->RestoredAt.store(FState->Device->LossGeneration.load(std::memory_order_acquire), std::memory_order_release);
    std::lock_guard<std::mutex> guard(FState->Device->SurfacesLock);
    FState->Device->Surfaces.push_back(this);
}

DirectDrawSurface::~DirectDrawSurface()
{
    State& s = *FState;
    if (s.Orphaned) {
        std::lock_guard<std::mutex> guard(Orphans().Lock);
        std::erase(Orphans().Surfaces, this);
    } else {
        std::lock_guard<std::mutex> guard(s.Device->SurfacesLock);
        std::erase(s.Device->Surfaces, this);
    }
    if (s.Kind == State::Role::Primary) {
        s.Device->PrimaryExists = false;
        if (s.Partner != nullptr) {
            s.Partner->FState->Partner = nullptr;
            s.Partner->Release();
        }
    } else if (s.Kind == State::Role::Back && s.Partner != nullptr) {
        s.Partner->FState->Partner = nullptr;
    }
}

DirectDrawSurface* DirectDrawSurface::CreateOffScreen(const std::shared_ptr<DisplayDevice>& Device, int Width,
                                                      int Height)
{
    auto* surface = new DirectDrawSurface(Device, Width, Height);
    try {
        surface->FState->Own.assign(static_cast<size_t>(Width) * static_cast<size_t>(Height), 0u);
    } catch (const std::bad_alloc&) {
        delete surface;
        return nullptr;
    }
    surface->FState->Pixels = surface->FState->Own.data();
    surface->FState->Pitch = Width;
    return surface;
}

DirectDrawSurface* DirectDrawSurface::CreateFlipChain(const std::shared_ptr<DisplayDevice>& Device)
{
    Screen& screen = *Device->Bound;
    FrameMailbox& frames = screen.Frames();
    auto* primary = new DirectDrawSurface(Device, frames.Width(), frames.Height());
    auto* back = new DirectDrawSurface(Device, frames.Width(), frames.Height());
    State& p = *primary->FState;
    State& b = *back->FState;
    p.Kind = State::Role::Primary;
    b.Kind = State::Role::Back;
    p.Partner = back;
    b.Partner = primary;
    p.ResetsSeen.store(screen.DeviceResets(), std::memory_order_release);
    p.Pitch = b.Pitch = frames.Width();
    b.Pixels = frames.Buffer(p.BackBuffer);
    Device->PrimaryExists = true;
    return primary;
}

void DirectDrawSurface::Orphan()
{
    State& s = *FState;
    s.Orphaned = true;
    s.Pixels = nullptr;
    // A drawing context still held draws nowhere rather than into freed memory.
    s.Context.Bind(nullptr, 0, 0, 0);
    std::vector<uint32_t>().swap(s.Own);
}

bool DirectDrawSurface::Lost() const
{
    const State& s = *FState;
    if (s.Orphaned)
        return true;
    switch (s.Kind) {
    case State::Role::Back: return s.Partner == nullptr || s.Partner->Lost();
    case State::Role::Primary:
        if (s.Device->Bound == nullptr ||
            s.ResetsSeen.load(std::memory_order_acquire) != s.Device->Bound->DeviceResets())
            return true;
        [[fallthrough]];
    case State::Role::OffScreen:
        return s.RestoredAt.load(std::memory_order_acquire) != s.Device->LossGeneration.load(std::memory_order_acquire);
    }
    return true;
}

// The answer of an operation on the surface's pixels: lost, or busy while locked.
HResult DirectDrawSurface::CheckUsable() const
{
    if (Lost())
        return DDERR_SURFACELOST;
    return FState->Locked ? DDERR_SURFACEBUSY : DD_OK;
}

HResult DirectDrawSurface::IsLost()
{
    return Lost() ? DDERR_SURFACELOST : DD_OK;
}

HResult DirectDrawSurface::Restore()
{
    State& s = *FState;
    if (s.Orphaned)
        return DDERR_INVALIDOBJECT;
    if (s.Kind == State::Role::Back)
        return s.Partner != nullptr ? s.Partner->Restore() : DDERR_INVALIDOBJECT;
    if (!Lost())
        return DD_OK;
    if (s.Kind == State::Role::Primary) {
        // Without its display object the chain has no screen to come back to.
        if (s.Device->Bound == nullptr)
            return DDERR_INVALIDOBJECT;
        if (!s.Device->Bound->RestoresPicture())
            return DDERR_GENERIC;
        FrameMailbox& frames = s.Device->Bound->Frames();
        State& back = *s.Partner->FState;
        blit::Fill(back.Pixels, back.Pitch, FWidth, FHeight, 0);
        blit::Fill(frames.Buffer(s.SpareBuffer), s.Pitch, FWidth, FHeight, 0);
        s.SpareBuffer = frames.Publish(s.SpareBuffer);
        s.ResetsSeen.store(s.Device->Bound->DeviceResets(), std::memory_order_release);
    } else {
        blit::Fill(s.Pixels, s.Pitch, FWidth, FHeight, 0);
    }
    s.RestoredAt.store(s.Device->LossGeneration.load(std::memory_order_acquire), std::memory_order_release);
    return DD_OK;
}

HResult DirectDrawSurface::GetAttachedSurface(const DDSCAPS* Caps, DirectDrawSurface** Attached)
{
    if (Attached == nullptr || Caps == nullptr)
        return DDERR_INVALIDPARAMS;
    *Attached = nullptr;
    if (FState->Kind != State::Role::Primary || (Caps->dwCaps & DDSCAPS_BACKBUFFER) == 0 || FState->Partner == nullptr)
        return DDERR_NOTFOUND;
    FState->Partner->AddRef();
    *Attached = FState->Partner;
    return DD_OK;
}

HResult DirectDrawSurface::Flip(DirectDrawSurface* Override, uint32_t Flags)
{
    (void)Flags;  // flips never wait here: a busy screen is the caller's to retry
    State& s = *FState;
    if (s.Kind != State::Role::Primary)
        return DDERR_NOTFLIPPABLE;
    if (Override != nullptr && Override != s.Partner)
        return DDERR_INVALIDPARAMS;
    if (s.Device->Bound != nullptr && s.Device->Bound->StillDrawing())
        return DDERR_WASSTILLDRAWING;
    if (Lost())
        return DDERR_SURFACELOST;
    State& back = *s.Partner->FState;
    if (back.Locked || back.ContextOut)
        return DDERR_SURFACEBUSY;
    FrameMailbox& frames = s.Device->Bound->Frames();
    s.BackBuffer = frames.Publish(s.BackBuffer);
    back.Pixels = frames.Buffer(s.BackBuffer);
    return DD_OK;
}

FramePlanes DirectDrawSurface::Planes() const
{
    const State& s = *FState;
    if (s.Kind != State::Role::Back || s.Partner == nullptr || s.Device->Bound == nullptr || Lost())
        return FramePlanes{};
    return s.Device->Bound->Planes(s.Partner->FState->BackBuffer);
}

HResult DirectDrawSurface::GetDC(DrawContext** Context)
{
    if (Context == nullptr)
        return DDERR_INVALIDPARAMS;
    *Context = nullptr;
    State& s = *FState;
    if (s.Kind == State::Role::Primary)
        return DDERR_UNSUPPORTED;
    if (const HResult usable = CheckUsable(); usable != DD_OK)
        return usable;
    if (s.ContextOut)
        return DDERR_DCALREADYCREATED;
    s.Context.Bind(s.Pixels, FWidth, FHeight, s.Pitch);
    s.ContextOut = true;
    *Context = &s.Context;
    return DD_OK;
}

HResult DirectDrawSurface::ReleaseDC(DrawContext* Context)
{
    State& s = *FState;
    if (Context != &s.Context || !s.ContextOut)
        return DDERR_INVALIDPARAMS;
    s.ContextOut = false;
    return DD_OK;
}

HResult DirectDrawSurface::SetColorKey(uint32_t Flags, const DDCOLORKEY* Key)
{
    if ((Flags & DDCKEY_SRCBLT) == 0)
        return DDERR_UNSUPPORTED;
    State& s = *FState;
    if (Key == nullptr) {
        s.HasKey = false;
        return DD_OK;
    }
    // Only single-value keys: a range would cost a second compare per pixel for nothing.
    if (Key->dwColorSpaceLowValue != Key->dwColorSpaceHighValue)
        return DDERR_UNSUPPORTED;
    s.HasKey = true;
    s.Key = Key->dwColorSpaceLowValue;
    return DD_OK;
}

HResult DirectDrawSurface::GetColorKey(uint32_t Flags, DDCOLORKEY* Key)
{
    if ((Flags & DDCKEY_SRCBLT) == 0 || Key == nullptr)
        return DDERR_INVALIDPARAMS;
    if (!FState->HasKey)
        return DDERR_NOCOLORKEY;
    Key->dwColorSpaceLowValue = Key->dwColorSpaceHighValue = FState->Key;
    return DD_OK;
}

HResult DirectDrawSurface::Lock(const TRect* Rect, DDSURFACEDESC* Desc, uint32_t Flags, void* Event)
{
    (void)Flags;  // system memory is never busy
    State& s = *FState;
    if (Desc == nullptr || Event != nullptr)
        return DDERR_INVALIDPARAMS;
    if (s.Kind == State::Role::Primary)
        return DDERR_UNSUPPORTED;
    if (const HResult usable = CheckUsable(); usable != DD_OK)
        return usable;
    if (s.ContextOut)
        return DDERR_SURFACEBUSY;
    const TRect whole{0, 0, FWidth, FHeight};
    const TRect area = Rect != nullptr ? *Rect : whole;
    if (area.Empty() || !(Intersect(area, whole) == area))
        return DDERR_INVALIDRECT;
    DescribeSurface(s, FWidth, FHeight, Desc);
    Desc->dwFlags |= DDSD_LPSURFACE;
    Desc->lpSurface = s.Pixels + static_cast<intptr_t>(area.Top) * s.Pitch + area.Left;
    s.Locked = true;
    return DD_OK;
}

HResult DirectDrawSurface::Unlock(const TRect* Rect)
{
    (void)Rect;
    if (!FState->Locked)
        return DDERR_NOTLOCKED;
    FState->Locked = false;
    return DD_OK;
}

HResult DirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* Desc)
{
    if (Desc == nullptr)
        return DDERR_INVALIDPARAMS;
    DescribeSurface(*FState, FWidth, FHeight, Desc);
    return DD_OK;
}

HResult DirectDrawSurface::QueryGammaControl(DirectDrawGammaControl** Control)
{
    if (Control == nullptr)
        return DDERR_INVALIDPARAMS;
    *Control = nullptr;
    if (FState->Kind != State::Role::Primary)
        return DDERR_UNSUPPORTED;
    *Control = new DirectDrawGammaControl(FState->Device);
    return DD_OK;
}

DirectDrawGammaControl::DirectDrawGammaControl(std::shared_ptr<DisplayDevice> Device) : FDevice(std::move(Device)) {}

HResult DirectDrawGammaControl::GetGammaRamp(uint32_t Flags, DDGAMMARAMP* Ramp)
{
    (void)Flags;
    if (Ramp == nullptr)
        return DDERR_INVALIDPARAMS;
    if (FDevice->Bound == nullptr)
        return DDERR_INVALIDOBJECT;
    if (!FDevice->Bound->ReadsGammaRamp())
        return DDERR_GENERIC;
    FDevice->Bound->GetGammaRamp(*Ramp);
    return DD_OK;
}

HResult DirectDrawGammaControl::SetGammaRamp(uint32_t Flags, const DDGAMMARAMP* Ramp)
{
    (void)Flags;
    if (Ramp == nullptr)
        return DDERR_INVALIDPARAMS;
    if (FDevice->Bound == nullptr || !FDevice->Bound->IsOpen())
        return DDERR_INVALIDOBJECT;
    if (!FDevice->Bound->LoadsGammaRamp())
        return DDERR_GENERIC;
    FDevice->Bound->SetGammaRamp(*Ramp);
    return DD_OK;
}

}  // namespace plat
