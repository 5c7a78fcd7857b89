// The desktop services of the application object, over SDL. Message boxes work before (and
// without) the video subsystem; the cursor needs it and only counts until there is one.
#include "platform/app/Application.h"

#include <SDL.h>

#include <cstdio>

namespace plat {

void Application::MessageBox(const std::string& Text, const std::string& Caption)
{
    if (TWindowSystem* system = FWindowSystem; system && system->MessageBox(Text, Caption))
        return;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, Caption.c_str(), Text.c_str(),
                                 nullptr) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
}

void Application::ShowException(const std::exception& E)
{
    MessageBox(E.what(), Title);
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

int Application::MonitorCount() const
{
    // Asked before any window exists, the video subsystem is started just for the question.
    const bool started = SDL_WasInit(SDL_INIT_VIDEO) == 0;
    if (started && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return 1;
    const int count = SDL_GetNumVideoDisplays();
    if (started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return count > 0 ? count : 1;
}

}  // namespace plat
