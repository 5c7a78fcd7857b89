// Windows covering whole monitors: the saver's own and the black covers.
#include "platform/sdl/MonitorCovers.h"
#include "platform/sdl/SdlVideo.h"
#include "platform/sdl/X11Window.h"

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

// Over one of SDL's displays the window carries the full-screen state from the start, so the
// window manager places it over the whole monitor, above panels and docks, without first showing
// and then moving a plain window. SDL would wait for the window manager to map it, without end
// when it never does (i3 keeps a window behind a full-screen one unmapped): the map is not waited
// for.
SDL_Window* CoverRect(const TRect& Bounds, const char* Title, bool FullScreen, bool* PaintedBlack)
{
    if (Bounds.Empty())
        return nullptr;
    Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN;
    if (FullScreen && IsMonitorOfSdl(Bounds))
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_Window* window = SDL_CreateWindow(Title, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(), flags);
    if (window == nullptr)
        return nullptr;
    NoteSdlWindow(window);
    SurviveServerLoss(window);
    const bool black = ShowWithoutWaiting(window);
    if (PaintedBlack != nullptr)
        *PaintedBlack = black;
    return window;
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
    if (!WindowServerLost())
        for (SDL_Window* window : FWindows)
            SDL_DestroyWindow(window);
    FWindows.clear();
}

}  // namespace plat
