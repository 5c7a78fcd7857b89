#include "platform/x11/XErrorTrap.h"

#include <atomic>

namespace plat {
namespace {

std::atomic<bool> gXErrorSeen{false};

int RecordXError(Display*, XErrorEvent*)
{
    gXErrorSeen = true;
    return 0;
}

}  // namespace

XErrorTrap::XErrorTrap() : FPrevious(XSetErrorHandler(RecordXError))
{
    gXErrorSeen = false;
}

XErrorTrap::~XErrorTrap()
{
    XSetErrorHandler(FPrevious);
}

bool XErrorTrap::Check(Display* D)
{
    XSync(D, False);
    return !gXErrorSeen.exchange(false);
}

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

}  // namespace plat
