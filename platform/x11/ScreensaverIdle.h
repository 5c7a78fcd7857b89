// The X server's own screensaver timer as the idle watcher's source (MIT-SCREEN-SAVER): the
// server activates its screensaver after the idle time and says so with an event, and it never
// does while a client suspends it (XScreenSaverSuspend, what SDL, mpv and games call), so that
// inhibition is honoured without asking anyone. No polling: the watcher sleeps until the event.
//
// While the source lives, the server's screensaver timeout is the watcher's idle time (the
// user's own timeout, interval and blanking come back when it ends), and the server's saver is
// a 1 x 1 input-only window outside the screen, so the server neither blanks nor draws over the
// saver the watcher starts. XCB: a server that goes away is news (Gone), not the end of the process.
#pragma once

#include "platform/types/IdleSource.h"

#include <memory>
#include <string>

namespace plat {

// The source on DISPLAY's server, or null with the reason in Error (no server, no
// MIT-SCREEN-SAVER, or another program keeps the server's screensaver for itself).
std::unique_ptr<IdleSource> OpenScreensaverIdle(int Seconds, std::string& Error);

}  // namespace plat
