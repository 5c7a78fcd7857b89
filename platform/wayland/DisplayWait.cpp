#include "platform/wayland/DisplayWait.h"

#include <wayland-client.h>

#include <algorithm>
#include <vector>

#include "platform/app/Application.h"
#include "platform/wayland/FrameWatch.h"

namespace plat {

void WaitForWayland(wl_display* Display, std::span<const int> Fds, int TimeoutMs)
{
    // While the saver's frames flow the next one ends the sleep; the compositor's answers wait.
    if (const int quiet = FrameWatch::QuietMs(); quiet > 0) {
        WaitReadable(Fds, TimeoutMs < 0 ? quiet : std::min(TimeoutMs, quiet));
        return;
    }
    // Only with the default queue empty may a read be prepared.
    if (wl_display_prepare_read(Display) != 0) {
        wl_display_dispatch_pending(Display);
        return;
    }
    // A full socket (EAGAIN) leaves the rest for the next pass; the sleep is no worse for it.
    wl_display_flush(Display);
    std::vector<int> fds{wl_display_get_fd(Display)};
    fds.insert(fds.end(), Fds.begin(), Fds.end());
    if (WaitReadable(fds, TimeoutMs, 0))
        wl_display_read_events(Display);
    else
        wl_display_cancel_read(Display);
}

}  // namespace plat
