#include "platform/wayland/WaylandLink.h"

#include <poll.h>
#include <wayland-client.h>

#include "wayland/fractional-scale-v1-client-protocol.h"
#include "wayland/viewporter-client-protocol.h"
#include "wayland/xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

// wl_surface.damage_buffer came with version 4; the scale events of wl_output with 2.
constexpr uint32_t kCompositorVersion = 4;
constexpr uint32_t kOutputVersion = 2;
constexpr uint32_t kXdgOutputVersion = 3;

void OnGlobal(void* Data, wl_registry*, uint32_t Name, const char* Interface, uint32_t Version)
{
    static_cast<WaylandLink*>(Data)->Bind(Name, Interface, Version);
}

void OnGlobalRemove(void* Data, wl_registry*, uint32_t Name)
{
    static_cast<WaylandLink*>(Data)->Unbind(Name);
}

constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

template <typename T>
T* BindAs(wl_registry* Registry, uint32_t Name, const wl_interface& Interface, uint32_t Version)
{
    return static_cast<T*>(wl_registry_bind(Registry, Name, &Interface, Version));
}

}  // namespace

WaylandLink::WaylandLink(wl_display* Display) : FDisplay(Display) {}

std::unique_ptr<WaylandLink> WaylandLink::Connect(wl_display* Display)
{
    if (Display == nullptr)
        return nullptr;
    std::unique_ptr<WaylandLink> link(new WaylandLink(Display));
    link->FQueue = wl_display_create_queue(Display);
    // The registry is made through a wrapper on our queue, so that it and every global bound from
    // it deliver their events there.
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(Display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), link->FQueue);
    link->FRegistry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    wl_registry_add_listener(link->FRegistry, &kRegistryListener, link.get());
    // The globals, then the outputs' events, then the logical geometry asked of each.
    for (int i = 0; i < 3; ++i)
        if (!link->Roundtrip())
            return nullptr;
    if (link->FCompositor == nullptr || link->FSubcompositor == nullptr || link->FShm == nullptr)
        return nullptr;
    return link;
}

WaylandLink::~WaylandLink()
{
    if (FViewporter != nullptr)
        wp_viewporter_destroy(FViewporter);
    if (FFractionalScale != nullptr)
        wp_fractional_scale_manager_v1_destroy(FFractionalScale);
    if (FShm != nullptr)
        wl_shm_destroy(FShm);
    if (FSubcompositor != nullptr)
        wl_subcompositor_destroy(FSubcompositor);
    if (FCompositor != nullptr)
        wl_compositor_destroy(FCompositor);
    // Every proxy goes before the queue it delivers to.
    FOutputs.Clear();
    if (FRegistry != nullptr)
        wl_registry_destroy(FRegistry);
    wl_display_flush(FDisplay);
    if (FQueue != nullptr)
        wl_event_queue_destroy(FQueue);
}

bool WaylandLink::Roundtrip()
{
    return wl_display_roundtrip_queue(FDisplay, FQueue) >= 0;
}

void WaylandLink::Bind(uint32_t Name, const char* Interface, uint32_t Version)
{
    const auto is = [Interface](const wl_interface& I) { return std::strcmp(Interface, I.name) == 0; };
    if (is(wl_compositor_interface) && FCompositor == nullptr) {
        FCompositorVersion = static_cast<int>(std::min(Version, kCompositorVersion));
        FCompositor = BindAs<wl_compositor>(FRegistry, Name, wl_compositor_interface, FCompositorVersion);
    } else if (is(wl_subcompositor_interface) && FSubcompositor == nullptr) {
        FSubcompositor = BindAs<wl_subcompositor>(FRegistry, Name, wl_subcompositor_interface, 1);
    } else if (is(wl_shm_interface) && FShm == nullptr) {
        FShm = BindAs<wl_shm>(FRegistry, Name, wl_shm_interface, 1);
    } else if (is(wp_viewporter_interface) && FViewporter == nullptr) {
        FViewporter = BindAs<wp_viewporter>(FRegistry, Name, wp_viewporter_interface, 1);
    } else if (is(wp_fractional_scale_manager_v1_interface) && FFractionalScale == nullptr) {
        FFractionalScale =
            BindAs<wp_fractional_scale_manager_v1>(FRegistry, Name, wp_fractional_scale_manager_v1_interface, 1);
    } else if (is(zxdg_output_manager_v1_interface)) {
        FOutputs.SetManager(BindAs<zxdg_output_manager_v1>(FRegistry, Name, zxdg_output_manager_v1_interface,
                                                           std::min(Version, kXdgOutputVersion)));
    } else if (is(wl_output_interface) && Version >= kOutputVersion) {
        FOutputs.Add(BindAs<wl_output>(FRegistry, Name, wl_output_interface, kOutputVersion), Name);
    }
}

void WaylandLink::Unbind(uint32_t Name)
{
    FOutputs.Remove(Name);
}

void WaylandLink::Dispatch()
{
    Flush();
    if (wl_display_prepare_read_queue(FDisplay, FQueue) == 0) {
        pollfd fd{wl_display_get_fd(FDisplay), POLLIN, 0};
        if (poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0)
            wl_display_read_events(FDisplay);
        else
            wl_display_cancel_read(FDisplay);
    }
    wl_display_dispatch_queue_pending(FDisplay, FQueue);
}

void WaylandLink::Flush()
{
    wl_display_flush(FDisplay);
}

}  // namespace plat
