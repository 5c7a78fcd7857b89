// The desktop services of the application object, over SDL. Message boxes work before (and
// without) the video subsystem; the cursor needs it and only counts until there is one.
// UseSdl joins SDL's input (AppInput.cpp), its window system's connection (SdlWait.cpp) and message
// boxes to the loop.
#include "platform/app/Application.h"

#include <SDL.h>

#include <cstdlib>

namespace plat {

namespace {

// Without a display SDL may still hand the box to a helper program (zenity) that shows nothing
// and reports success, and the message would vanish: it goes to standard error instead.
bool HasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool ShowSdlMessageBox(const std::string& Text, const std::string& Caption)
{
    if (!HasDisplay())
        return false;
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, Caption.c_str(), Text.c_str(), nullptr) == 0;
}

}  // namespace

void Application::UseSdl()
{
    FSdlInput = [](Application& A) { A.PumpInput(); };
    FSdlMessageBox = ShowSdlMessageBox;
    UseSdlWait();
}

int Application::ShowCursor(bool Show)
{
    const bool wasShown = FCursorCount >= 0;
    FCursorCount += Show ? 1 : -1;
    const bool shown = FCursorCount >= 0;
    if (shown != wasShown && SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
    return FCursorCount;
}

}  // namespace plat
