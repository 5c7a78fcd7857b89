// The headless screen: a window-less backend for tests and tools.
#include "platform/headless/HeadlessScreen.h"

#include "platform/types/Invariant.h"

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
    FShownOverlay = Picture();
    std::vector<uint32_t>().swap(FShownLayers);
}

bool HeadlessScreen::OutputSize(int& Width, int& Height) const
{
    Width = FOutputWidth > 0 ? FOutputWidth : this->Width();
    Height = FOutputHeight > 0 ? FOutputHeight : this->Height();
    return true;
}

void HeadlessScreen::Show(const uint32_t* Pixels)
{
    const size_t pixels = static_cast<size_t>(Width()) * static_cast<size_t>(Height());
    CheckFits(pixels, static_cast<size_t>(FShown.Width()) * static_cast<size_t>(FShown.Height()), "shown frame");
    std::memcpy(FShown.Pixels(), Pixels, pixels * 4);
    if (const uint32_t* layers = ShownLayerPixels())
        FShownLayers.assign(layers, layers + Layout().LayerPixels());
    const TRect& overlay = Layout().Overlay;
    if (!overlay.Empty()) {
        if (FShownOverlay.Width() != overlay.Width() || FShownOverlay.Height() != overlay.Height())
            FShownOverlay = Picture(overlay.Width(), overlay.Height(), "TBitmap");
        PaintOverlay(FShownOverlay.Pixels(), overlay.Width());
    }
    ++FPresentCount;
}

bool HeadlessScreen::TakeDeviceReset()
{
    const bool pending = FResetPending;
    FResetPending = false;
    return pending;
}

}  // namespace plat
