#include "platform/app/SdlVideo.h"

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

}  // namespace

bool StartSdlVideo()
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
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
