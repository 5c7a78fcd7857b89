// The saver's own side of SDL's Wayland connection: an event queue of its own, so that SDL's
// event pumping never runs the saver's listeners and the saver never runs SDL's; the globals the
// saver's own drawing needs, bound on that queue; and the outputs (WaylandOutputs). Every proxy
// made from these globals lives on the queue too. Main thread, like SDL's video calls.
#pragma once

#include <memory>

#include "platform/wayland/WaylandOutputs.h"

struct wl_compositor;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_subcompositor;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;

namespace plat {

class WaylandLink {
public:
    // Binds the globals on a new queue and waits until the outputs have told their sizes. Null
    // when the compositor lacks one the saver cannot draw without (compositor, subcompositor,
    // shared memory).
    static std::unique_ptr<WaylandLink> Connect(wl_display* Display);
    ~WaylandLink();
    WaylandLink(const WaylandLink&) = delete;
    WaylandLink& operator=(const WaylandLink&) = delete;

    wl_display* Display() const { return FDisplay; }
    wl_event_queue* Queue() const { return FQueue; }
    wl_compositor* Compositor() const { return FCompositor; }
    int CompositorVersion() const { return FCompositorVersion; }
    wl_subcompositor* Subcompositor() const { return FSubcompositor; }
    wl_shm* Shm() const { return FShm; }
    // Null where the compositor does not offer them.
    wp_viewporter* Viewporter() const { return FViewporter; }
    wp_fractional_scale_manager_v1* FractionalScale() const { return FFractionalScale; }
    const WaylandOutputs& Outputs() const { return FOutputs; }

    // Reads what the compositor has sent, without waiting, and runs the listeners of this queue;
    // events for SDL's queue wait there for SDL.
    void Dispatch();
    // Sends the requests made so far.
    void Flush();

    // For the registry's listener.
    void Bind(uint32_t Name, const char* Interface, uint32_t Version);
    void Unbind(uint32_t Name);

private:
    explicit WaylandLink(wl_display* Display);
    bool Roundtrip();

    wl_display* FDisplay;
    wl_event_queue* FQueue = nullptr;
    wl_registry* FRegistry = nullptr;
    wl_compositor* FCompositor = nullptr;
    int FCompositorVersion = 0;
    wl_subcompositor* FSubcompositor = nullptr;
    wl_shm* FShm = nullptr;
    wp_viewporter* FViewporter = nullptr;
    wp_fractional_scale_manager_v1* FFractionalScale = nullptr;
    WaylandOutputs FOutputs;
};

}  // namespace plat
