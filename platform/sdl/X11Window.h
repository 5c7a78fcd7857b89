// Internal to the SDL screen: what its windows need of X11 beyond SDL. The keyboard taken for the
// saver's window: a window manager may leave a new window unfocused (focus-stealing prevention)
// or focus another of the saver's windows; a keyboard grab sends every key to the saver, so a key
// always ends it and never types into the program below. Elsewhere (Wayland) a full-screen
// toplevel gets the keyboard anyway. A window shown without waiting for the window manager. And
// whether anybody can see the window. Main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/x11/WindowSight.h"

struct SDL_Window;

namespace plat {

// A lost X server behind the window's connection (SDL's one connection for all its windows) ends
// the saver through a quit request instead of Xlib's exit (platform/x11/DisplayLoss.h). Nothing
// elsewhere: SDL's Wayland backend turns a lost compositor into its own quit event.
void SurviveServerLoss(SDL_Window* Window);

// True once the X server behind the windows went away. SDL would then wait without end in hiding
// or destroying a window (for the server's confirmation) and in ending its video subsystem: the
// windows and the subsystem are left to the process's end instead.
bool WindowServerLost();

// Grabs the keyboard for the window; false while someone else holds it (a window manager's menu,
// a screen locker) or the window is not yet mapped, so the caller tries again later. Nothing
// happens where the window system has no such grab.
bool TakeKeyboard(SDL_Window* Window);
// Lets go of the keyboard grab, so that another program (a screen locker) can take it.
void GiveKeyboard(SDL_Window* Window);
// Raises the window and gives it the input focus, which another program's window took (one that
// opened under the saver and asked for the focus). False where the window system is not X11 or
// the window is not viewable.
bool TakeFocus(SDL_Window* Window);

// Watches whether anybody can see the window (WindowSight): OnChange runs on the watcher's thread.
// Null where the window system is not X11.
std::unique_ptr<WindowSight> WatchSight(SDL_Window* Window, std::function<void()> OnChange);

// The window's pixels, put into it by the program over a connection of its own (shared memory
// where the server offers it) instead of through SDL's window surface, which waits for the server
// after every put: a round trip, so one more wake-up each frame. Here writing the next frame waits
// only while the server has not yet taken the last put, which at the saver's frame rate it has.
class X11WindowPixels {
public:
    // Null where the window system is not X11 or its server cannot be reached.
    static std::unique_ptr<X11WindowPixels> Open(SDL_Window* Window);
    ~X11WindowPixels();
    X11WindowPixels(const X11WindowPixels&) = delete;
    X11WindowPixels& operator=(const X11WindowPixels&) = delete;

    // The pixels of a window of Width x Height (rows Pitch pixels apart; made anew when the size
    // changed, black then), ready to be written; null when none can be made.
    uint32_t* Begin(int Width, int Height, int& Pitch);
    // Sends what Begin gave into the window, without waiting.
    void Put();

private:
    struct Connection;
    explicit X11WindowPixels(std::unique_ptr<Connection> AConnection);
    std::unique_ptr<Connection> FConnection;
};

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
