// Internal to the SDL screen: the keyboard taken for the saver's window on X11. A window manager
// may leave a new window unfocused (focus-stealing prevention) or focus another of the saver's
// windows; a keyboard grab sends every key to the saver, so a key always ends it and never types
// into the program below. Elsewhere (Wayland) a full-screen toplevel gets the keyboard anyway.
// Main thread.
#pragma once

struct SDL_Window;

namespace plat {

// Grabs the keyboard for the window; false while someone else holds it (a window manager's menu)
// or the window is not yet mapped, so the caller tries again later. Nothing happens where the
// window system has no such grab.
bool TakeKeyboard(SDL_Window* Window);

}  // namespace plat
