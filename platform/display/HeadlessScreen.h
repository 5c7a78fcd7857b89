// A screen without a window: presenting keeps a copy of the frame exactly as it would be shown
// (gamma applied), so tests and tools can read it.
#pragma once

#include "platform/display/Screen.h"
#include "platform/image/Picture.h"

namespace plat {

class HeadlessScreen : public Screen {
public:
    HeadlessScreen() = default;

    // The newest presented frame; empty before the first present.
    const Picture& Shown() const { return FShown; }
    int PresentCount() const { return FPresentCount; }
    // How many displays the screen stands for (one unless a test says otherwise); it opens on any
    // of them.
    void SetDisplayCount(int Count) { FDisplayCount = Count; }
    // The display the screen was last opened on.
    int OpenedOn() const { return FOpenedOn; }
    // Simulates a reset of the render device, noticed at the next PresentLatest.
    void SimulateDeviceReset() { FResetPending = true; }

protected:
    bool OpenWindow(int Width, int Height, int DisplayIndex) override;
    void CloseWindow() override;
    void Show(const uint32_t* Pixels) override;
    bool TakeDeviceReset() override;

private:
    Picture FShown;
    int FPresentCount = 0;
    int FOpenedOn = -1;
    int FDisplayCount = 1;
    bool FResetPending = false;
};

}  // namespace plat
