/* A program that holds the screen on the way most do: an SDL window, shown until SIGTERM. SDL
 * inhibits the screensaver by default while a window is open (org.freedesktop.ScreenSaver on the
 * session bus where someone owns that name, else the compositor's idle-inhibit or, on X11,
 * XScreenSaverSuspend). Build: cc sdl_window.c $(pkg-config --cflags --libs sdl2) */
#include <SDL.h>
#include <signal.h>

static volatile sig_atomic_t ending;

static void end(int signal)
{
    (void)signal;
    ending = 1;
}

int main(void)
{
    signal(SIGTERM, end);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_Window *window = SDL_CreateWindow("solvane-test-window", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
    if (!window)
        return 2;
    while (!ending) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {}
        SDL_Surface *surface = SDL_GetWindowSurface(window);
        SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 40, 90, 200));
        SDL_UpdateWindowSurface(window);
        SDL_Delay(100);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
