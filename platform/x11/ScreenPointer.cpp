#include "platform/x11/ScreenPointer.h"

#include <X11/Xlib.h>

namespace plat {

struct ScreenPointer::Connection {
    Display* D = XOpenDisplay(nullptr);
    ~Connection()
    {
        if (D != nullptr)
            XCloseDisplay(D);
    }
};

ScreenPointer::ScreenPointer() : FConnection(std::make_unique<Connection>()) {}

ScreenPointer::~ScreenPointer() = default;

bool ScreenPointer::Query(int& X, int& Y)
{
    Display* d = FConnection->D;
    if (d == nullptr)
        return false;
    Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    return XQueryPointer(d, DefaultRootWindow(d), &root, &child, &X, &Y, &windowX, &windowY, &buttons) == True;
}

}  // namespace plat
