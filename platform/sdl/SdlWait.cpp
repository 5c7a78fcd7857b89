// The application loop's sleep under SDL: on the connection to the window system behind SDL's
// windows (X11 or Wayland), so the window system's events end it at once and nothing else has to.
// Elsewhere SDL can only be asked for events, so the sleep lasts at most kOtherSystemsMs.
#include "platform/app/Application.h"
#include "platform/sdl/SdlVideo.h"
#include "platform/wayland/DisplayWait.h"
#include "platform/x11/DisplayWait.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <vector>

namespace plat {
namespace {

constexpr int kOtherSystemsMs = 10;

// The ids of the windows noted so far that may still live (main thread).
std::vector<Uint32> gWindows;

// The window system of a live window of ours; false when none lives.
bool LiveWindowSystem(SDL_SysWMinfo& Info)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    std::erase_if(gWindows, [](Uint32 Id) { return SDL_GetWindowFromID(Id) == nullptr; });
    for (Uint32 id : gWindows) {
        SDL_VERSION(&Info.version);
        if (SDL_GetWindowWMInfo(SDL_GetWindowFromID(id), &Info))
            return true;
    }
    return false;
}

void WaitForSdl(std::vector<TDescriptorWait>& Waits, int TimeoutMs)
{
    // SDL's calls during the pass may have queued events (window events are sent at once).
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0 && SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        return;
    SDL_SysWMinfo info;
    if (LiveWindowSystem(info)) {
        if (info.subsystem == SDL_SYSWM_X11)
            return WaitForX11(info.info.x11.display, Waits, TimeoutMs);
        if (info.subsystem == SDL_SYSWM_WAYLAND)
            return WaitForWayland(info.info.wl.display, Waits, TimeoutMs);
        TimeoutMs = TimeoutMs < 0 ? kOtherSystemsMs : std::min(TimeoutMs, kOtherSystemsMs);
    }
    WaitForAny(Waits, TimeoutMs);
}

}  // namespace

void NoteSdlWindow(SDL_Window* Window)
{
    if (Window != nullptr)
        gWindows.push_back(SDL_GetWindowID(Window));
}

void Application::UseSdlWait()
{
    FSdlWait = WaitForSdl;
}

}  // namespace plat
