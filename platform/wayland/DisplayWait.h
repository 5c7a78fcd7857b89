// The application loop's sleep on a Wayland connection (SDL's): until the compositor sends
// events, one of Waits is ready, or TimeoutMs (-1: no limit) has passed. What arrives is read
// into its queues; events of the default queue read earlier are handed to their listeners (SDL's)
// instead of sleeping, so the next pass takes them. While the saver's own pictures flow
// (FrameWatch::QuietMs) the connection is not watched: the next frame ends the sleep and its
// pass reads what came meanwhile. Main thread (the connection's).
#pragma once

#include <vector>

#include "platform/runtime/DescriptorWait.h"

struct wl_display;

namespace plat {

void WaitForWayland(wl_display* Display, std::vector<TDescriptorWait>& Waits, int TimeoutMs);

}  // namespace plat
