// The screen backend for a window that belongs to another program: a screensaver daemon hands
// the saver its window (or the root window) and keeps the window's input for itself. So this
// backend only draws: it selects nothing on the window but its structure changes (selecting
// button presses there fails, the daemon already holds them), scales each frame to the window's
// current size with the aspect kept and black bars, and puts it with Xlib (shared memory where
// the server offers it). All Xlib calls run on the main thread, under an error trap for as long
// as the screen is open: the owner can destroy the window at any moment.
#include <X11/Xlib.h>

#include <memory>
#include <optional>

#include "platform/display/Fit.h"
#include "platform/display/Screen.h"
#include "platform/x11/DisplayLoss.h"
#include "platform/x11/ForeignScreen.h"
#include "platform/x11/RandrMonitors.h"
#include "platform/x11/WindowImage.h"
#include "platform/x11/XErrorTrap.h"

namespace plat {
namespace {

class ForeignScreen : public Screen {
public:
    ForeignScreen(unsigned long Target, bool AllowShared) : FTarget(Target), FAllowShared(AllowShared) {}
    ~ForeignScreen() override { Close(); }

    TRect PictureBounds() const override { return FScaler.Picture(); }
    bool WindowLost() const override { return FLost; }
    bool SharedMemory() const override { return FImage && FImage->Shared(); }
    // The desktop's monitors, as the SDL screen counts them (both read RandR), although the window
    // is the same on any of them.
    int DisplayCount() const override
    {
        const std::shared_ptr<DisplayList> monitors = RandrMonitors();
        return monitors && monitors->Count() > 0 ? monitors->Count() : 1;
    }

protected:
    bool OpenWindow(int Width, int Height, int DisplayIndex) override;
    void CloseWindow() override;
    void Show(const uint32_t* Pixels) override;

private:
    void Resize(int WindowWidth, int WindowHeight);
    void FollowWindow();

    const unsigned long FTarget;
    const bool FAllowShared;
    Display* FDisplay = nullptr;
    Window FWindow = 0;
    GC FContext = nullptr;
    Visual* FVisual = nullptr;
    int FDepth = 0;
    int FFrameWidth = 0, FFrameHeight = 0;  // the frames' size (set before the mailbox is)
    std::optional<XErrorTrap> FTrap;
    std::unique_ptr<WindowImage> FImage;
    FitScaler FScaler;
    bool FLost = false;
};

bool ForeignScreen::OpenWindow(int Width, int Height, int)
{
    FDisplay = XOpenDisplay(nullptr);
    if (FDisplay == nullptr)
        return false;
    SurviveDisplayLoss(FDisplay);
    FTrap.emplace();
    FWindow = FTarget != 0 ? FTarget : DefaultRootWindow(FDisplay);
    XWindowAttributes attributes{};
    const Status found = XGetWindowAttributes(FDisplay, FWindow, &attributes);
    if (!XErrorTrap::Check(FDisplay) || found == 0) {
        CloseWindow();
        return false;
    }
    XSelectInput(FDisplay, FWindow, StructureNotifyMask);
    FContext = XCreateGC(FDisplay, FWindow, 0, nullptr);
    FVisual = attributes.visual;
    FDepth = attributes.depth;
    FLost = !XErrorTrap::Check(FDisplay);
    FFrameWidth = Width;
    FFrameHeight = Height;
    Resize(attributes.width, attributes.height);
    return true;
}

void ForeignScreen::CloseWindow()
{
    if (FDisplay == nullptr)
        return;
    FImage.reset();
    if (FContext != nullptr)
        XFreeGC(FDisplay, FContext);
    if (FWindow != 0 && !FLost)
        XSelectInput(FDisplay, FWindow, NoEventMask);
    XSync(FDisplay, False);
    FTrap.reset();
    XCloseDisplay(FDisplay);
    FDisplay = nullptr;
    FContext = nullptr;
    FWindow = 0;
}

void ForeignScreen::Resize(int WindowWidth, int WindowHeight)
{
    FImage = std::make_unique<WindowImage>(FDisplay, FVisual, FDepth, WindowWidth, WindowHeight, FAllowShared);
    FScaler.SetSizes(FFrameWidth, FFrameHeight, WindowWidth, WindowHeight);
}

// The window's size changes and its end arrive as structure events.
void ForeignScreen::FollowWindow()
{
    int width = FImage ? FImage->Width() : 0, height = FImage ? FImage->Height() : 0;
    while (XPending(FDisplay) > 0) {
        XEvent event;
        XNextEvent(FDisplay, &event);
        if (event.type == ConfigureNotify && event.xconfigure.window == FWindow) {
            width = event.xconfigure.width;
            height = event.xconfigure.height;
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == FWindow) {
            FLost = true;
        }
    }
    if (!FLost && (!FImage || width != FImage->Width() || height != FImage->Height()))
        Resize(width, height);
}

void ForeignScreen::Show(const uint32_t* Pixels)
{
    if (FDisplay == nullptr || FLost)
        return;
    FollowWindow();
    if (FLost || !FImage->Valid())
        return;
    FScaler.Scale(Pixels, FImage->Pixels(), FImage->Stride());
    FLost = !FImage->Put(FWindow, FContext);
}

}  // namespace

std::unique_ptr<Screen> CreateForeignWindowScreen(unsigned long Window, bool AllowShared)
{
    return std::make_unique<ForeignScreen>(Window, AllowShared);
}

}  // namespace plat
