// The headless screen: a window-less backend for tests and tools.
#include "platform/display/HeadlessScreen.h"

#include <cstring>

namespace plat {

bool HeadlessScreen::OpenWindow(int Width, int Height, int DisplayIndex)
{
    if (DisplayIndex < 0 || DisplayIndex >= FDisplayCount)
        return false;
    FOpenedOn = DisplayIndex;
    FShown = Picture(Width, Height, "TBitmap");
    return true;
}

void HeadlessScreen::CloseWindow()
{
    FShown = Picture();
}

void HeadlessScreen::Show(const uint32_t* Pixels)
{
    std::memcpy(FShown.Pixels(), Pixels, static_cast<size_t>(Width()) * static_cast<size_t>(Height()) * 4);
    ++FPresentCount;
}

bool HeadlessScreen::TakeDeviceReset()
{
    const bool pending = FResetPending;
    FResetPending = false;
    return pending;
}

}  // namespace plat
