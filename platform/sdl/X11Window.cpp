#include "platform/sdl/X11Window.h"
#include "platform/x11/DisplayLoss.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/x11/WindowImage.h"
#include "platform/x11/XErrorTrap.h"

namespace plat {
namespace {

// The X11 connection and window behind an SDL window; false on any other window system.
bool X11Of(SDL_Window* Window, Display*& D, ::Window& W)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (Window == nullptr || !SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    D = info.info.x11.display;
    W = info.info.x11.window;
    return true;
}

// A window manager marks the windows it manages with WM_STATE; it may keep one unmapped (behind a
// full-screen window, or on a workspace not shown) where it placed it.
bool Managed(Display* D, ::Window W)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom state = XInternAtom(D, "WM_STATE", False);
    const bool found =
        XGetWindowProperty(D, W, state, 0, 2, False, state, &type, &format, &count, &after, &data) == Success &&
        type == state;
    if (data != nullptr)
        XFree(data);
    return found;
}

}  // namespace

void SurviveServerLoss(SDL_Window* Window)
{
    Display* display = nullptr;
    ::Window window = 0;
    if (X11Of(Window, display, window))
        SurviveDisplayLoss(display);
}

bool WindowServerLost()
{
    return DisplayLost();
}

bool TakeKeyboard(SDL_Window* Window)
{
    Display* display = nullptr;
    ::Window window = 0;
    return X11Of(Window, display, window) &&
        XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
}

void GiveKeyboard(SDL_Window* Window)
{
    Display* display = nullptr;
    ::Window window = 0;
    if (!X11Of(Window, display, window))
        return;
    XUngrabKeyboard(display, CurrentTime);
    XFlush(display);
}

bool TakeFocus(SDL_Window* Window)
{
    Display* display = nullptr;
    ::Window window = 0;
    XWindowAttributes attributes{};
    if (!X11Of(Window, display, window) || !XGetWindowAttributes(display, window, &attributes) ||
        attributes.map_state != IsViewable)
        return false;
    // The window may become unviewable meanwhile (its window manager hides it): the focus is then
    // refused, which by Xlib's default would end the process.
    XErrorTrap trap;
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    return XErrorTrap::Check(display);
}

std::unique_ptr<WindowSight> WatchSight(SDL_Window* Window, std::function<void()> OnChange)
{
    Display* display = nullptr;
    ::Window window = 0;
    if (!X11Of(Window, display, window))
        return nullptr;
    return std::make_unique<WindowSight>(DisplayString(display), static_cast<uint32_t>(window), std::move(OnChange));
}

bool ShowWithoutWaiting(SDL_Window* Window)
{
    Display* display = nullptr;
    ::Window window = 0;
    if (!X11Of(Window, display, window)) {
        SDL_ShowWindow(Window);
        return false;
    }
    // A background of its own, so nothing of the desktop shows through before the first frame,
    // without a frame's worth of pixels sent to the server for it.
    XSetWindowBackground(display, window, BlackPixel(display, DefaultScreen(display)));
    XMapRaised(display, window);
    XFlush(display);
    return true;
}

bool WindowPlace(SDL_Window* Window, int& X, int& Y, int& Width, int& Height)
{
    Display* display = nullptr;
    ::Window window = 0;
    if (!X11Of(Window, display, window)) {
        SDL_GetWindowPosition(Window, &X, &Y);
        SDL_GetWindowSize(Window, &Width, &Height);
        return (SDL_GetWindowFlags(Window) & SDL_WINDOW_SHOWN) != 0;
    }
    XWindowAttributes attributes{};
    ::Window child = 0;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        (attributes.map_state != IsViewable && !Managed(display, window)) ||
        !XTranslateCoordinates(display, window, attributes.root, 0, 0, &X, &Y, &child))
        return false;
    Width = attributes.width;
    Height = attributes.height;
    return true;
}

// A connection of the screen's own (SDL's waits for a round trip after each put), the window on
// it, and the image that goes into it.
struct X11WindowPixels::Connection {
    Connection(Display* AServer, ::Window ATarget, const XWindowAttributes& Attributes)
        : Server(AServer), Target(ATarget), Context(XCreateGC(AServer, ATarget, 0, nullptr)), Look(Attributes.visual),
          Depth(Attributes.depth)
    {}
    ~Connection()
    {
        Image.reset();
        XFreeGC(Server, Context);
        XCloseDisplay(Server);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* const Server;
    const ::Window Target;
    const GC Context;
    Visual* const Look;
    const int Depth;
    std::unique_ptr<WindowImage> Image;
};

std::unique_ptr<X11WindowPixels> X11WindowPixels::Open(SDL_Window* Window)
{
    Display* sdlDisplay = nullptr;
    ::Window window = 0;
    if (!X11Of(Window, sdlDisplay, window))
        return nullptr;
    Display* display = XOpenDisplay(DisplayString(sdlDisplay));
    if (display == nullptr)
        return nullptr;
    SurviveDisplayLoss(display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        XCloseDisplay(display);
        return nullptr;
    }
    auto connection = std::make_unique<Connection>(display, window, attributes);
    return std::unique_ptr<X11WindowPixels>(new X11WindowPixels(std::move(connection)));
}

X11WindowPixels::X11WindowPixels(std::unique_ptr<Connection> AConnection) : FConnection(std::move(AConnection)) {}

X11WindowPixels::~X11WindowPixels() = default;

uint32_t* X11WindowPixels::Begin(int Width, int Height, int& Pitch)
{
    Connection& c = *FConnection;
    if (!c.Image || c.Image->Width() != Width || c.Image->Height() != Height)
        c.Image = std::make_unique<WindowImage>(c.Server, c.Look, c.Depth, Width, Height);
    if (!c.Image->Valid())
        return nullptr;
    c.Image->WaitTaken();
    Pitch = c.Image->Stride();
    return c.Image->Pixels();
}

void X11WindowPixels::Put()
{
    Connection& c = *FConnection;
    if (c.Image && c.Image->Valid())
        c.Image->Send(c.Target, c.Context);
}

}  // namespace plat
