#include "platform/sdl/SdlVideo.h"

#include "platform/app/Application.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace plat {
namespace {

// SDL falls back to these when no window system answers; their windows are never seen, so a
// saver on one would run invisibly (music and all) until killed. They count only when asked for.
bool InvisibleDriverNotAskedFor()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr)
        return true;
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)
        return false;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked == nullptr || std::strstr(asked, driver) == nullptr;
}

bool Named(const char* Variable)
{
    const char* value = std::getenv(Variable);
    return value != nullptr && *value != '\0';
}

// A Wayland session usually runs an X server beside the compositor (Xwayland) and names it in
// DISPLAY, and SDL takes X11 first: the saver would draw through that server, enlarged on HiDPI
// outputs and blind to the compositor's frame callbacks. So there SDL's Wayland backend comes
// first, X11 only when the compositor cannot be reached; a driver the user names wins.
void PreferWaylandInWaylandSession()
{
    if (Named("SDL_VIDEODRIVER"))
        return;
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (Named("WAYLAND_DISPLAY") || (session != nullptr && std::strcmp(session, "wayland") == 0))
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "wayland,x11", SDL_HINT_OVERRIDE);
}

}  // namespace

bool StartSdlVideo()
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    PreferWaylandInWaylandSession();
    // Several full-screen windows (one per monitor) pass the focus between them; none may be
    // minimised for it.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    Application::UseSdl();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    if (InvisibleDriverNotAskedFor()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

}  // namespace plat
