// A headless screen standing for displays this machine does not have: one without a gamma ramp,
// one whose ramp cannot be read back or loaded, one that cannot restore a lost picture, or one
// still drawing when a flip comes. The display layer asks it exactly as it asks every screen.
#pragma once

#include "platform/headless/HeadlessScreen.h"

#include <atomic>
#include <functional>

namespace displaytest {

class TFakeDisplay : public plat::HeadlessScreen {
public:
    bool HasGammaRamp() const override { return !NoGamma; }
    bool ReadsGammaRamp() const override { return !GammaUnreadable; }
    bool LoadsGammaRamp() const override { return !GammaUnloadable; }
    bool RestoresPicture() override
    {
        RefusedRestores += RefuseRestore ? 1 : 0;
        return !RefuseRestore;
    }
    bool StillDrawing() override { return OnFlip && OnFlip(); }

    bool NoGamma = false;
    bool GammaUnreadable = false;
    bool GammaUnloadable = false;
    std::atomic<bool> RefuseRestore{false};
    std::atomic<int> RefusedRestores{0};
    // Asked at every flip, on the frame thread: true answers that the display is still drawing.
    std::function<bool()> OnFlip;
};

}  // namespace displaytest
