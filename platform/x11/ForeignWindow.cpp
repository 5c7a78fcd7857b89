// Xlib reports errors asynchronously and by default ends the process on any of them, and a
// foreign window can be destroyed by its owner at any moment. So a handler that only records the
// error is installed for the whole wait and draw, and each step is synchronised and checked.
#include "platform/x11/ForeignWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace plat {
namespace {

std::atomic<bool> gXErrorSeen{false};

int RecordXError(Display*, XErrorEvent*)
{
    gXErrorSeen = true;
    return 0;
}

// Keeps the recording handler installed for one scope and restores the previous one.
class XErrorTrap {
public:
    XErrorTrap() : FPrevious(XSetErrorHandler(RecordXError)) { gXErrorSeen = false; }
    ~XErrorTrap() { XSetErrorHandler(FPrevious); }
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to handle every request so far; true when none of them failed.
    static bool Check(Display* D)
    {
        XSync(D, False);
        return !gXErrorSeen.exchange(false);
    }

private:
    int (*FPrevious)(Display*, XErrorEvent*);
};

// The picture's 0x00RRGGBB pixels placed in the window visual's colour masks.
unsigned long PixelFor(uint32_t Rgb, const Visual* V)
{
    auto place = [](uint32_t Channel, unsigned long Mask) -> unsigned long {
        if (Mask == 0)
            return 0;
        int shift = 0;
        while (((Mask >> shift) & 1) == 0)
            ++shift;
        int bits = 0;
        while (((Mask >> (shift + bits)) & 1) != 0)
            ++bits;
        const unsigned long scaled = bits >= 8 ? Channel << (bits - 8) : Channel >> (8 - bits);
        return (scaled << shift) & Mask;
    };
    return place((Rgb >> 16) & 0xFF, V->red_mask) | place((Rgb >> 8) & 0xFF, V->green_mask) |
           place(Rgb & 0xFF, V->blue_mask);
}

bool PutPicture(Display* D, Window W, const XWindowAttributes& A, const Picture& Image)
{
    XImage* image = XCreateImage(D, A.visual, static_cast<unsigned>(A.depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(Image.Width()),
                                 static_cast<unsigned>(Image.Height()), 32, 0);
    if (image == nullptr)
        return false;
    image->data = static_cast<char*>(std::calloc(static_cast<size_t>(image->bytes_per_line),
                                                 static_cast<size_t>(Image.Height())));
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
    XPutImage(D, W, gc, image, 0, 0, 0, 0, static_cast<unsigned>(Image.Width()),
              static_cast<unsigned>(Image.Height()));
    XFreeGC(D, gc);
    XDestroyImage(image);  // Frees the pixel data as well.
    return true;
}

ForeignDrawResult WaitAndDraw(Display* D, Window W, const Picture& Image,
                              std::chrono::milliseconds PollInterval,
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
                                        std::chrono::milliseconds PollInterval,
                                        const std::function<void()>& Idle)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return ForeignDrawResult::NoDisplay;
    const ForeignDrawResult result = WaitAndDraw(display, Window, Image, PollInterval, Idle);
    XCloseDisplay(display);
    return result;
}

}  // namespace plat
