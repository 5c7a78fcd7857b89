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

bool CoversRect(SDL_Window* Window, const TRect& Bounds)
{
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(Window, &x, &y);
    SDL_GetWindowSize(Window, &w, &h);
    return x <= Bounds.Left && y <= Bounds.Top && x + w >= Bounds.Right && y + h >= Bounds.Bottom;
}

SDL_Window* CoverRect(const TRect& Bounds, const char* Title)
{
    if (Bounds.Empty())
        return nullptr;
    SDL_Window* window = SDL_CreateWindow(Title, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(),
                                          SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP);
    if (window == nullptr)
        return nullptr;
    SDL_PumpEvents();
    if (!CoversRect(window, Bounds)) {
        // A window manager may keep a plain window off its panels; ask it for full screen.
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_PumpEvents();
    }
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
    for (SDL_Window* window : FWindows)
        SDL_DestroyWindow(window);
    FWindows.clear();
}

}  // namespace plat
