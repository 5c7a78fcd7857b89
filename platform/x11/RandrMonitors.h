// The monitors of an X server as RandR reports them now. SDL's own list follows only monitors that
// are plugged in or out; one switched off or moved (xrandr --off, a new position or mode) stays in
// it as it was. Count() asks the server anew (one round trip) when the server announced a change
// of its screen, outputs or CRTCs since the last reading, and otherwise answers from it without
// waking anyone; Bounds() answers from that reading. The list keeps an X connection of its own.
// UI thread.
#pragma once

#include <memory>

#include "platform/types/DisplayList.h"

namespace plat {

// Null when there is no X server or it offers no RandR 1.5 monitors.
std::shared_ptr<DisplayList> RandrMonitors();

}  // namespace plat
