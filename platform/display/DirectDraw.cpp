// The display object: creation, binding to a screen, the display mode, surface creation,
// capabilities and the loss hook.
#include <new>

#include "platform/display/DDraw.h"
#include "platform/display/DisplayDevice.h"
#include "platform/display/Screen.h"
#include "platform/display/SurfaceState.h"

namespace plat {
namespace {

// Display device identities are a fixed value with the display's index in Data1.
constexpr uint16_t kDeviceGuidMark = 0x534C;  // an arbitrary tag telling our identities apart

constexpr int kMaxSurfaceSide = 16384;

}  // namespace

GUID DisplayDeviceGuid(int Index)
{
    GUID guid;
    guid.Data1 = static_cast<uint32_t>(Index);
    guid.Data2 = kDeviceGuidMark;
    return guid;
}

HResult DirectDrawCreate(const GUID* Device, DirectDraw** Object, void* Outer)
{
    if (Object == nullptr)
        return DDERR_INVALIDPARAMS;
    *Object = nullptr;
    if (Outer != nullptr)
        return DDERR_INVALIDPARAMS;
    int index = 0;
    if (Device != nullptr) {
        if (Device->Data2 != kDeviceGuidMark || Device->Data1 > 64)
            return DDERR_INVALIDPARAMS;
        index = static_cast<int>(Device->Data1);
    }
    *Object = new DirectDraw(index);
    return DD_OK;
}

DirectDraw::DirectDraw(int DeviceIndex) : FDevice(std::make_shared<DisplayDevice>(DeviceIndex)) {}

DirectDraw::~DirectDraw()
{
    OrphanSurfaces();
    if (FDevice->Bound != nullptr) {
        FDevice->Bound->Close();
        FDevice->Bound = nullptr;
    }
    FDevice->ModeSet = false;
}

OrphanedSurfaces& Orphans()
{
    // Never destroyed: orphans must stay reachable until the very end of the process.
    static auto* orphans = new OrphanedSurfaces;
    return *orphans;
}

// Empties every surface still alive and hands it to the orphan list.
void DirectDraw::OrphanSurfaces()
{
    std::vector<DirectDrawSurface*> surfaces;
    {
        std::lock_guard<std::mutex> guard(FDevice->SurfacesLock);
        surfaces.swap(FDevice->Surfaces);
    }
    for (DirectDrawSurface* surface : surfaces)
        surface->Orphan();
    OrphanedSurfaces& orphans = Orphans();
    std::lock_guard<std::mutex> guard(orphans.Lock);
    orphans.Surfaces.insert(orphans.Surfaces.end(), surfaces.begin(), surfaces.end());
}

HResult DirectDraw::SetCooperativeLevel(Screen* Window, uint32_t Flags)
{
    if (Window == nullptr)
        return DDERR_INVALIDPARAMS;
    const bool exclusive = (Flags & DDSCL_EXCLUSIVE) != 0;
    if (exclusive != ((Flags & DDSCL_FULLSCREEN) != 0))
        return DDERR_INVALIDPARAMS;
    if (FDevice->PrimaryExists && Window != FDevice->Bound)
        return DDERR_SURFACEBUSY;
    if (FDevice->Bound != nullptr && FDevice->Bound != Window) {
        FDevice->Bound->Close();
        FDevice->ModeSet = false;
    }
    FDevice->Bound = Window;
    FDevice->CooperativeFlags = Flags;
    return DD_OK;
}

HResult DirectDraw::SetDisplayMode(uint32_t Width, uint32_t Height, uint32_t BitsPerPixel)
{
    if (FDevice->Bound == nullptr)
        return DDERR_NOCOOPERATIVELEVELSET;
    if ((FDevice->CooperativeFlags & DDSCL_EXCLUSIVE) == 0)
        return DDERR_NOEXCLUSIVEMODE;
    if ((BitsPerPixel != 32 && BitsPerPixel != 24) || Width == 0 || Height == 0 || Width > kMaxSurfaceSide ||
        Height > kMaxSurfaceSide)
        return DDERR_INVALIDMODE;
    // The flip chain draws into the screen's buffers; they cannot change under it.
    if (FDevice->PrimaryExists)
        return DDERR_SURFACEBUSY;
    FDevice->ModeSet = FDevice->Bound->Open(static_cast<int>(Width), static_cast<int>(Height), FDevice->DeviceIndex);
    return FDevice->ModeSet ? DD_OK : DDERR_GENERIC;
}

HResult DirectDraw::CreateSurface(const DDSURFACEDESC* Desc, DirectDrawSurface** Surface, void* Outer)
{
    if (Surface == nullptr)
        return DDERR_INVALIDPARAMS;
    *Surface = nullptr;
    if (Desc == nullptr || Outer != nullptr || (Desc->dwFlags & DDSD_CAPS) == 0)
        return DDERR_INVALIDPARAMS;
    const uint32_t caps = Desc->ddsCaps.dwCaps;
    if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        if ((caps & DDSCAPS_FLIP) == 0 || (caps & DDSCAPS_COMPLEX) == 0 ||
            (Desc->dwFlags & DDSD_BACKBUFFERCOUNT) == 0 || Desc->dwBackBufferCount != 1)
            return DDERR_INVALIDPARAMS;
        if (!FDevice->ModeSet || FDevice->Bound == nullptr || !FDevice->Bound->IsOpen())
            return DDERR_NOEXCLUSIVEMODE;
        if (FDevice->PrimaryExists)
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        *Surface = DirectDrawSurface::CreateFlipChain(FDevice);
        return DD_OK;
    }
    if ((caps & DDSCAPS_OFFSCREENPLAIN) == 0 ||
        (Desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
        return DDERR_INVALIDPARAMS;
    if (Desc->dwWidth == 0 || Desc->dwHeight == 0 || Desc->dwWidth > kMaxSurfaceSide ||
        Desc->dwHeight > kMaxSurfaceSide)
        return DDERR_INVALIDPARAMS;
    *Surface =
        DirectDrawSurface::CreateOffScreen(FDevice, static_cast<int>(Desc->dwWidth), static_cast<int>(Desc->dwHeight));
    return *Surface != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}

HResult DirectDraw::GetCaps(DDCAPS* DriverCaps, DDCAPS* EmulationCaps)
{
    if (DriverCaps == nullptr && EmulationCaps == nullptr)
        return DDERR_INVALIDPARAMS;
    if (DriverCaps != nullptr) {
        DriverCaps->dwCaps = 0;
        const bool gamma = FDevice->Bound == nullptr || FDevice->Bound->HasGammaRamp();
        DriverCaps->dwCaps2 = gamma ? DDCAPS2_PRIMARYGAMMA : 0;
    }
    if (EmulationCaps != nullptr) {
        EmulationCaps->dwCaps = 0;
        EmulationCaps->dwCaps2 = 0;
    }
    return DD_OK;
}

void DirectDraw::LoseSurfaces()
{
    FDevice->LossGeneration.fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace plat
