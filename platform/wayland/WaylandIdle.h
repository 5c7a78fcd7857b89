// The compositor's idle notification as the idle watcher's source: `ext_idle_notifier_v1`, else
// the older `org_kde_kwin_idle` (sway 1.7, KWin). The compositor counts the idle time of its first
// seat and holds the notification back while a visible surface inhibits idling
// (zwp_idle_inhibit_manager_v1), so that inhibition is honoured by the compositor itself.
#pragma once

#include "platform/types/IdleSource.h"

#include <memory>
#include <string>

namespace plat {

// The source on WAYLAND_DISPLAY's compositor, or null with the reason in Error (no compositor, no
// seat, or neither protocol offered).
std::unique_ptr<IdleSource> OpenWaylandIdle(int Seconds, std::string& Error);

}  // namespace plat
