#include "platform/app/SdlVideo.h"

#include "platform/app/Application.h"

#include <SDL.h>

namespace plat {

bool StartSdlVideo()
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    Application::UseSdl();
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

}  // namespace plat
