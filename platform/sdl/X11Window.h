// Internal to the SDL screen: what its windows need of X11 beyond SDL. The keyboard taken for the
// saver's window: a window manager may leave a new window unfocused (focus-stealing prevention)
// or focus another of the saver's windows; a keyboard grab sends every key to the saver, so a key
// always ends it and never types into the program below. Elsewhere (Wayland) a full-screen
// toplevel gets the keyboard anyway. And a window shown without waiting for the window manager.
// Main thread.
#pragma once

struct SDL_Window;

namespace plat {

// Grabs the keyboard for the window; false while someone else holds it (a window manager's menu)
// or the window is not yet mapped, so the caller tries again later. Nothing happens where the
// window system has no such grab.
bool TakeKeyboard(SDL_Window* Window);

// Shows a hidden window. On X11 the window is mapped without waiting for the window manager to
// map it (SDL's own show waits, without end for a window the window manager keeps unmapped);
// SDL learns of the map from its events. The server paints it black itself until the first frame
// (true); elsewhere SDL shows it and nothing is painted yet (false).
bool ShowWithoutWaiting(SDL_Window* Window);

// Where the window really is on the screen once the window manager has placed it (mapped it, or
// taken it under its management), asked of the window system (SDL answers the display's bounds
// for a full-screen window, wherever the window manager put it). False until then; elsewhere than
// X11 SDL's answer.
bool WindowPlace(SDL_Window* Window, int& X, int& Y, int& Width, int& Height);

}  // namespace plat
