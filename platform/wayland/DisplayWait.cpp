#include "platform/wayland/DisplayWait.h"

#include <wayland-client.h>

#include <algorithm>

#include "platform/wayland/FrameWatch.h"

namespace plat {

void WaitForWayland(wl_display* Display, std::vector<TDescriptorWait>& Waits, int TimeoutMs)
{
    // While the saver's frames flow the next one ends the sleep; the compositor's answers wait.
    if (const int quiet = FrameWatch::QuietMs(); quiet > 0) {
        WaitForAny(Waits, TimeoutMs < 0 ? quiet : std::min(TimeoutMs, quiet));
        return;
    }
    // Only with the default queue empty may a read be prepared.
    if (wl_display_prepare_read(Display) != 0) {
        wl_display_dispatch_pending(Display);
        return;
    }
    // A full socket (EAGAIN) leaves the rest for the next pass; the sleep is no worse for it.
    wl_display_flush(Display);
    Waits.push_back({wl_display_get_fd(Display)});
    WaitForAny(Waits, TimeoutMs);
    if (Waits.back().Ready)
        wl_display_read_events(Display);
    else
        wl_display_cancel_read(Display);
}

}  // namespace plat
