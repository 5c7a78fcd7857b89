// Xlib reports errors asynchronously and by default ends the process on any of them, while a
// window that belongs to another program can be destroyed by its owner at any moment. A trap
// installs a handler that only records the error for one scope; each step is then synchronised
// and checked. Also the conversion of 0x00RRGGBB pixels into a visual's colour masks, for servers
// whose visual is not the common 8-8-8 layout.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

namespace plat {

class XErrorTrap {
public:
    XErrorTrap();
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to handle every request so far; true when none of them failed.
    static bool Check(Display* D);

private:
    int (*FPrevious)(Display*, XErrorEvent*);
};

// The pixel 0x00RRGGBB placed in the visual's colour masks.
unsigned long PixelFor(uint32_t Rgb, const Visual* V);

}  // namespace plat
