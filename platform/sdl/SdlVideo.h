// Starting SDL's video subsystem the way every window of the program needs it: SDL inhibits the
// desktop's screensaver while any of its windows is open unless told otherwise, and some
// screensaver daemons answer an inhibit by ending the saver they started. So the hint that lets
// the screensaver run is set before every start. SDL's invisible fallbacks (the offscreen and
// dummy drivers) are refused unless SDL_VIDEODRIVER names them. In a Wayland session (WAYLAND_DISPLAY
// set, or XDG_SESSION_TYPE=wayland) SDL's Wayland backend is taken before X11, even where DISPLAY
// names an X server too, unless SDL_VIDEODRIVER names a driver.
//
// The application's loop sleeps on the window system's connection behind SDL's windows; each
// window made is noted (NoteSdlWindow), since SDL tells the connection only through a window.
#pragma once

struct SDL_Window;

namespace plat {

// SDL_InitSubSystem(SDL_INIT_VIDEO) with the screensaver allowed; true when video runs on a
// window system someone can see (or on the driver SDL_VIDEODRIVER asks for).
bool StartSdlVideo();

// A window the program made: while it lives, the loop sleeps on its window system's connection.
// Main thread.
void NoteSdlWindow(SDL_Window* Window);

}  // namespace plat
