#include "platform/display/X11Keyboard.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace plat {

bool TakeKeyboard(SDL_Window* Window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (Window == nullptr || !SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    return XGrabKeyboard(info.info.x11.display, info.info.x11.window, False, GrabModeAsync,
                         GrabModeAsync, CurrentTime) == GrabSuccess;
}

}  // namespace plat
