#include "platform/wayland/WaylandPresenter.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <wayland-client.h>

#include "platform/wayland/WaylandLink.h"
#include "wayland/fractional-scale-v1-client-protocol.h"
#include "wayland/viewporter-client-protocol.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {
namespace {

// Changed rows closer than this are damaged as one rectangle.
constexpr int kDamageGap = 8;

wl_region* WholeRegion(wl_compositor* Compositor, int Width, int Height)
{
    wl_region* region = wl_compositor_create_region(Compositor);
    if (Width > 0 && Height > 0)
        wl_region_add(region, 0, 0, Width, Height);
    return region;
}

bool IsInteger(double Scale)
{
    return std::abs(Scale - std::round(Scale)) < 1e-6;
}

}  // namespace

struct WaylandPresenterListeners {
    static void PreferredScale(void* Data, wp_fractional_scale_v1*, uint32_t Scale)
    {
        // Before the first picture the compositor's own word decides the pictures' size.
        auto* presenter = static_cast<WaylandPresenter*>(Data);
        if (presenter->FBuffers == nullptr && Scale > 0)
            presenter->FScale = Scale / 120.0;
    }
};

namespace {

constexpr wp_fractional_scale_v1_listener kFractionalListener = {WaylandPresenterListeners::PreferredScale};

}  // namespace

WaylandPresenter::WaylandPresenter(SDL_Window* Target, std::unique_ptr<WaylandLink> Link, wl_surface* Parent)
    : FWindow(Target), FLink(std::move(Link)), FParent(Parent)
{}

std::unique_ptr<WaylandPresenter> WaylandPresenter::Create(SDL_Window* Target, const TRect& Monitor)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (Target == nullptr || !SDL_GetWindowWMInfo(Target, &info) || info.subsystem != SDL_SYSWM_WAYLAND)
        return nullptr;
    std::unique_ptr<WaylandLink> link = WaylandLink::Connect(info.info.wl.display);
    if (link == nullptr)
        return nullptr;
    std::unique_ptr<WaylandPresenter> presenter(new WaylandPresenter(Target, std::move(link), info.info.wl.surface));
    TRect logical = Monitor;
    if (logical.Empty()) {
        SDL_Rect r{};
        SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(Target), &r);
        logical = TRect{r.x, r.y, r.x + r.w, r.y + r.h};
    }
    if (logical.Empty() || !presenter->MakeSurfaces(logical))
        return nullptr;
    return presenter;
}

// The child surface over the whole window, taking no input (the pointer stays SDL's), opaque, at
// the output's scale; the pictures are sized once, for the monitor the window covers.
bool WaylandPresenter::MakeSurfaces(const TRect& Logical)
{
    WaylandLink& link = *FLink;
    FSurface = wl_compositor_create_surface(link.Compositor());
    FSubsurface = wl_subcompositor_get_subsurface(link.Subcompositor(), FSurface, FParent);
    wl_subsurface_set_desync(FSubsurface);
    wl_subsurface_set_position(FSubsurface, 0, 0);
    wl_region* none = WholeRegion(link.Compositor(), 0, 0);
    wl_surface_set_input_region(FSurface, none);
    wl_region_destroy(none);
    FScale = link.Outputs().ScaleAt(Logical);
    if (link.FractionalScale() != nullptr) {
        FFractional = wp_fractional_scale_manager_v1_get_fractional_scale(link.FractionalScale(), FSurface);
        wp_fractional_scale_v1_add_listener(FFractional, &kFractionalListener, this);
        wl_display_roundtrip_queue(link.Display(), link.Queue());
    }
    if (link.Viewporter() != nullptr) {
        FViewport = wp_viewporter_get_viewport(link.Viewporter(), FSurface);
        FParentViewport = wp_viewporter_get_viewport(link.Viewporter(), FParent);
    } else {
        // Without a viewporter only whole scales can be drawn at; a fraction is left to the
        // compositor.
        FScale = IsInteger(FScale) ? std::round(FScale) : 1.0;
        wl_surface_set_buffer_scale(FSurface, static_cast<int>(FScale));
    }
    const int width = static_cast<int>(std::lround(Logical.Width() * FScale));
    const int height = static_cast<int>(std::lround(Logical.Height() * FScale));
    FBuffers = std::make_unique<ShmBuffers>(link.Shm(), width, height);
    FRowPicture.assign(static_cast<size_t>(std::max(height, 0)), 0);
    FFrames = std::make_unique<FrameWatch>(FWindow, FSurface);
    FollowWindowSize();
    link.Flush();
    return width > 0 && height > 0;
}

WaylandPresenter::~WaylandPresenter()
{
    FFrames.reset();
    if (FFractional != nullptr)
        wp_fractional_scale_v1_destroy(FFractional);
    if (FViewport != nullptr)
        wp_viewport_destroy(FViewport);
    if (FParentViewport != nullptr)
        wp_viewport_destroy(FParentViewport);
    if (FSubsurface != nullptr)
        wl_subsurface_destroy(FSubsurface);
    if (FSurface != nullptr)
        wl_surface_destroy(FSurface);
    FBuffers.reset();
    FBlack.reset();
    if (FLink != nullptr)
        FLink->Flush();
}

int WaylandPresenter::Width() const
{
    return FBuffers->Width();
}

int WaylandPresenter::Height() const
{
    return FBuffers->Height();
}

void WaylandPresenter::Tend()
{
    FLink->Dispatch();
    FollowWindowSize();
}

// The window's logical size (SDL follows the compositor's configure events) is what both surfaces
// cover; the pictures keep their size and are scaled to it.
void WaylandPresenter::FollowWindowSize()
{
    int width = 0, height = 0;
    SDL_GetWindowSize(FWindow, &width, &height);
    if (width <= 0 || height <= 0 || (width == FLogicalWidth && height == FLogicalHeight))
        return;
    FLogicalWidth = width;
    FLogicalHeight = height;
    if (FViewport != nullptr)
        wp_viewport_set_destination(FViewport, width, height);
    wl_region* opaque = WholeRegion(FLink->Compositor(), width, height);
    wl_surface_set_opaque_region(FSurface, opaque);
    wl_region_destroy(opaque);
    wl_surface_commit(FSurface);
    PaintParentBlack(width, height);
    FLink->Flush();
}

// One black pixel stretched over the window (a whole window of them without a viewporter): the
// window is mapped and black before the first picture, and wherever the pictures do not reach.
void WaylandPresenter::PaintParentBlack(int LogicalWidth, int LogicalHeight)
{
    const bool stretched = FParentViewport != nullptr;
    if (!stretched || FBlack == nullptr)
        FBlack =
            std::make_unique<ShmBuffers>(FLink->Shm(), stretched ? 1 : LogicalWidth, stretched ? 1 : LogicalHeight);
    ShmBuffers::Buffer* black = FBlack->Free();
    if (black == nullptr)
        return;
    if (stretched)
        wp_viewport_set_destination(FParentViewport, LogicalWidth, LogicalHeight);
    wl_surface_attach(FParent, black->Handle, 0, 0);
    wl_surface_damage(FParent, 0, 0, LogicalWidth, LogicalHeight);
    wl_surface_commit(FParent);
}

bool WaylandPresenter::Ready(bool Waiting)
{
    return FFrames->Asked(Waiting) && FBuffers->Free() != nullptr;
}

// The buffer is brought up to the last picture: every row changed since the picture it holds
// is copied from the last picture shown.
uint32_t* WaylandPresenter::Begin(int& Pitch)
{
    FDrawing = FFrames->Asked(false) ? FBuffers->Free() : nullptr;
    if (FDrawing == nullptr)
        return nullptr;
    Pitch = FBuffers->Pitch();
    if (FNewest != nullptr && FNewest != FDrawing) {
        const size_t row = static_cast<size_t>(Pitch);
        for (size_t y = 0; y < FRowPicture.size(); ++y)
            if (FRowPicture[y] > FDrawing->Picture)
                std::memcpy(FDrawing->Pixels + y * row, FNewest->Pixels + y * row, row * 4);
        FDrawing->Picture = FNewest->Picture;
    }
    return FDrawing->Pixels;
}

void WaylandPresenter::Changed(int First, int Last)
{
    First = std::max(First, 0);
    Last = std::min(Last, static_cast<int>(FRowPicture.size()));
    for (int y = First; y < Last; ++y)
        FRowPicture[static_cast<size_t>(y)] = FPictures + 1;
}

void WaylandPresenter::ChangedWhereDiffers(int First, int Last)
{
    if (FDrawing == nullptr)
        return;
    if (FNewest == nullptr || FNewest == FDrawing) {
        Changed(First, Last);
        return;
    }
    const size_t row = static_cast<size_t>(FBuffers->Pitch());
    for (int y = std::max(First, 0); y < std::min(Last, static_cast<int>(FRowPicture.size())); ++y) {
        const size_t at = static_cast<size_t>(y) * row;
        if (std::memcmp(FDrawing->Pixels + at, FNewest->Pixels + at, row * 4) != 0)
            FRowPicture[static_cast<size_t>(y)] = FPictures + 1;
    }
}

void WaylandPresenter::Commit()
{
    ShmBuffers::Buffer* buffer = FDrawing;
    FDrawing = nullptr;
    if (buffer == nullptr || std::find(FRowPicture.begin(), FRowPicture.end(), FPictures + 1) == FRowPicture.end())
        return;
    ++FPictures;
    buffer->Picture = FPictures;
    Damage();
    wl_surface_attach(FSurface, buffer->Handle, 0, 0);
    FFrames->Ask();
    wl_surface_commit(FSurface);
    buffer->Busy = true;
    FNewest = buffer;
    FLink->Flush();
}

// The changed rows, in runs, in buffer pixels (a compositor older than damage_buffer takes the
// whole surface).
void WaylandPresenter::Damage()
{
    if (FLink->CompositorVersion() < 4) {
        wl_surface_damage(FSurface, 0, 0, INT32_MAX, INT32_MAX);
        return;
    }
    const int rows = static_cast<int>(FRowPicture.size());
    int y = 0;
    while (y < rows) {
        if (FRowPicture[static_cast<size_t>(y)] != FPictures) {
            ++y;
            continue;
        }
        int end = y + 1, gap = 0;
        for (int next = end; next < rows && gap <= kDamageGap; ++next) {
            if (FRowPicture[static_cast<size_t>(next)] == FPictures) {
                end = next + 1;
                gap = 0;
            } else {
                ++gap;
            }
        }
        wl_surface_damage_buffer(FSurface, 0, y, FBuffers->Width(), end - y);
        y = end;
    }
}

}  // namespace plat
