// A screen without a window: presenting keeps a copy of the frame, and of its layers, exactly as
// they would be shown (gamma applied), so tests and tools can read them. It stands for a window of
// the frame's size unless given another (SetOutputSize).
#pragma once

#include "platform/display/Screen.h"
#include "platform/image/Picture.h"

#include <vector>

namespace plat {

class HeadlessScreen : public Screen {
public:
    HeadlessScreen() = default;

    // The window size the layers are laid out for (SetLayers); 0 x 0 for the frame's own size.
    void SetOutputSize(int Width, int Height)
    {
        FOutputWidth = Width;
        FOutputHeight = Height;
    }
    // The newest presented frame; empty before the first present.
    const Picture& Shown() const { return FShown; }
    // The surround presented with it (all null before the first present and without one), and
    // the overlay painted then (empty without one).
    FramePlanes ShownLayers() { return PlanesAt(FShownLayers.empty() ? nullptr : FShownLayers.data(), Layout()); }
    const Picture& ShownOverlay() const { return FShownOverlay; }
    int PresentCount() const { return FPresentCount; }
    // How many displays the screen stands for (one unless a test says otherwise); it opens on any
    // of them.
    void SetDisplayCount(int Count) { FDisplayCount = Count; }
    int DisplayCount() const override { return FDisplayCount; }
    // The display the screen was last opened on.
    int OpenedOn() const { return FOpenedOn; }
    // Simulates a reset of the render device, noticed at the next PresentLatest.
    void SimulateDeviceReset() { FResetPending = true; }

protected:
    bool OpenWindow(int Width, int Height, int DisplayIndex) override;
    void CloseWindow() override;
    void Show(const uint32_t* Pixels) override;
    bool TakeDeviceReset() override;
    bool OutputSize(int& Width, int& Height) const override;

private:
    Picture FShown;
    std::vector<uint32_t> FShownLayers;
    Picture FShownOverlay;
    int FOutputWidth = 0;
    int FOutputHeight = 0;
    int FPresentCount = 0;
    int FOpenedOn = -1;
    int FDisplayCount = 1;
    bool FResetPending = false;
};

}  // namespace plat
