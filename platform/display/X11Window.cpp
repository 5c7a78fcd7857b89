#include "platform/display/X11Window.h"

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

bool ShowWithoutWaiting(SDL_Window* Window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11) {
        SDL_ShowWindow(Window);
        return false;
    }
    Display* display = info.info.x11.display;
    // A background of its own, so nothing of the desktop shows through before the first frame,
    // without a frame's worth of pixels sent to the server for it.
    XSetWindowBackground(display, info.info.x11.window, BlackPixel(display, DefaultScreen(display)));
    XMapRaised(display, info.info.x11.window);
    XFlush(display);
    return true;
}

namespace {

// A window manager marks the windows it manages with WM_STATE; it may keep one unmapped (behind a
// full-screen window, or on a workspace not shown) where it placed it.
bool Managed(Display* D, ::Window W)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom state = XInternAtom(D, "WM_STATE", False);
    const bool found = XGetWindowProperty(D, W, state, 0, 2, False, state, &type, &format, &count, &after,
                                          &data) == Success && type == state;
    if (data != nullptr)
        XFree(data);
    return found;
}

}  // namespace

bool WindowPlace(SDL_Window* Window, int& X, int& Y, int& Width, int& Height)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11) {
        SDL_GetWindowPosition(Window, &X, &Y);
        SDL_GetWindowSize(Window, &Width, &Height);
        return (SDL_GetWindowFlags(Window) & SDL_WINDOW_SHOWN) != 0;
    }
    Display* display = info.info.x11.display;
    XWindowAttributes attributes{};
    ::Window child = 0;
    if (!XGetWindowAttributes(display, info.info.x11.window, &attributes) ||
        (attributes.map_state != IsViewable && !Managed(display, info.info.x11.window)) ||
        !XTranslateCoordinates(display, info.info.x11.window, attributes.root, 0, 0, &X, &Y, &child))
        return false;
    Width = attributes.width;
    Height = attributes.height;
    return true;
}

}  // namespace plat
