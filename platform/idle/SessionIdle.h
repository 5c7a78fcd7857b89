// The idle source the session offers, chosen at run time: GNOME's idle monitor where Mutter
// serves it on the session bus (GNOME on Wayland and on X11), else in a Wayland session the
// compositor's idle notification (ext-idle-notify-v1, else org_kde_kwin_idle), else the X
// server's screensaver timer. A Wayland session without an idle protocol gets no source: the X
// server there (Xwayland) sees only the input of X programs.
#pragma once

#include "platform/types/IdleSource.h"

#include <memory>
#include <string>

namespace plat {

class Bus;

// Whether the session names a display (WAYLAND_DISPLAY or DISPLAY).
bool HasSessionDisplay();

// Null with the reason in Error when the session offers none. Session may be null (no session bus)
// and must outlive the source.
std::unique_ptr<IdleSource> OpenSessionIdle(Bus* Session, int Seconds, std::string& Error);

}  // namespace plat
