// Windows covering whole monitors: the saver's own and the black covers.
#include "platform/display/MonitorCovers.h"

namespace plat {
namespace {

void PaintBlack(SDL_Window* Window)
{
    SDL_Surface* surface = SDL_GetWindowSurface(Window);
    if (surface == nullptr)
        return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(Window);
}

}  // namespace

bool IsMonitorOfSdl(const TRect& Bounds)
{
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect r{};
        if (SDL_GetDisplayBounds(i, &r) == 0 && TRect{r.x, r.y, r.x + r.w, r.y + r.h} == Bounds)
            return true;
    }
    return false;
}

SDL_Window* CoverRect(const TRect& Bounds, const char* Title)
{
    if (Bounds.Empty())
        return nullptr;
    Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    if (IsMonitorOfSdl(Bounds))
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    return SDL_CreateWindow(Title, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(), flags);
}

void MonitorCovers::Open(const DisplayList& Monitors, int Except, const char* Title)
{
    Close();
    for (int i = 0; i < Monitors.Count(); ++i) {
        if (i == Except)
            continue;
        if (SDL_Window* window = CoverRect(Monitors.Bounds(i), Title))
            FWindows.push_back(window);
    }
    Repaint();
}

void MonitorCovers::Repaint()
{
    for (SDL_Window* window : FWindows)
        PaintBlack(window);
}

void MonitorCovers::Close()
{
    for (SDL_Window* window : FWindows)
        SDL_DestroyWindow(window);
    FWindows.clear();
}

}  // namespace plat
