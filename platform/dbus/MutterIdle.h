// GNOME's idle monitor as the idle watcher's source: Mutter serves `org.gnome.Mutter.IdleMonitor`
// on the session bus (GNOME's Wayland session offers no idle protocol to other programs). A watch
// fires when the session's idle time, counted from the last input, reaches its value; Mutter
// holds it back while gnome-session's idle inhibitors are in force. The source's news arrives
// while the bus is processed.
#pragma once

#include "platform/types/IdleSource.h"

#include <memory>
#include <string>

namespace plat {

class Bus;

// Whether the session bus has GNOME's idle monitor.
bool HasMutterIdle(Bus& Session);

// The source on Session (which must outlive it), or null with the reason in Error.
std::unique_ptr<IdleSource> OpenMutterIdle(Bus& Session, int Seconds, std::string& Error);

}  // namespace plat
