// The window can go away at any moment, so an error trap is kept for the whole wait and draw and
// each step is synchronised and checked.
#include "platform/x11/ForeignWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/x11/XErrorTrap.h"

#include <cstdlib>
#include <thread>

namespace plat {
namespace {

bool PutPicture(Display* D, Window W, const XWindowAttributes& A, const Picture& Image)
{
    XImage* image = XCreateImage(D, A.visual, static_cast<unsigned>(A.depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(Image.Width()), static_cast<unsigned>(Image.Height()), 32, 0);
    if (image == nullptr)
        return false;
    image->data = static_cast<char*>(
        std::calloc(static_cast<size_t>(image->bytes_per_line), static_cast<size_t>(Image.Height())));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return false;
    }
    for (int y = 0; y < Image.Height(); ++y) {
        const uint32_t* row = Image.Row(y);
        for (int x = 0; x < Image.Width(); ++x)
            XPutPixel(image, x, y, PixelFor(row[x], A.visual));
    }
    GC gc = XCreateGC(D, W, 0, nullptr);
    XPutImage(D, W, gc, image, 0, 0, 0, 0, static_cast<unsigned>(Image.Width()), static_cast<unsigned>(Image.Height()));
    XFreeGC(D, gc);
    XDestroyImage(image);  // Frees the pixel data as well.
    return true;
}

ForeignDrawResult WaitAndDraw(Display* D, Window W, const Picture& Image, std::chrono::milliseconds PollInterval,
                              const std::function<void()>& Idle)
{
    XErrorTrap trap;
    XWindowAttributes attributes{};
    for (;;) {
        const Status found = XGetWindowAttributes(D, W, &attributes);
        if (!XErrorTrap::Check(D) || found == 0)
            return ForeignDrawResult::WindowGone;
        if (attributes.map_state == IsViewable)
            break;
        if (Idle)
            Idle();
        std::this_thread::sleep_for(PollInterval);
    }
    if (Image.Empty())
        return ForeignDrawResult::Drawn;
    const bool put = PutPicture(D, W, attributes, Image);
    return put && XErrorTrap::Check(D) ? ForeignDrawResult::Drawn : ForeignDrawResult::WindowGone;
}

}  // namespace

ForeignDrawResult DrawIntoForeignWindow(unsigned long Window, const Picture& Image,
                                        std::chrono::milliseconds PollInterval, const std::function<void()>& Idle)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return ForeignDrawResult::NoDisplay;
    const ForeignDrawResult result = WaitAndDraw(display, Window, Image, PollInterval, Idle);
    XCloseDisplay(display);
    return result;
}

}  // namespace plat
