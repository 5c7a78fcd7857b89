// The SDL window backend of the screen. The window covers the whole monitor at the monitor's own
// mode: a borderless window in the window manager's full-screen state (EWMH on X11, a full-screen
// toplevel on Wayland), with the picture scaled to fit, aspect kept, black bars. No mode is ever
// switched: a switched monitor that the saver then fails to restore, or a window manager that
// keeps placing the window for the old mode, leaves the user's desktop broken.
//
// A screen pinned to a monitor (PinToMonitor) covers that monitor and no other; the saver pins one
// screen per monitor. An unpinned screen covers the display it is opened on and puts a black
// window over every other monitor. On X11 the window takes the keyboard, so that a key reaches
// the saver whichever window the window manager focused.
//
// Every SDL video and render call here runs on the main thread.
#include <SDL.h>

#include <memory>

#include "platform/app/SdlVideo.h"
#include "platform/display/Fit.h"
#include "platform/display/GpuRendering.h"
#include "platform/display/MonitorCovers.h"
#include "platform/display/Screen.h"
#include "platform/display/X11Window.h"

// The leak checker's pause switch, present only in sanitized builds.
extern "C" __attribute__((weak)) void __lsan_disable();
extern "C" __attribute__((weak)) void __lsan_enable();

namespace plat {
namespace {

constexpr const char* kWindowTitle = "Solvane Screensaver";
// How often a window checks that it still covers its monitor, and how long after being moved
// there it looks again.
constexpr Uint32 kPlacementCheckMs = 1000;
constexpr Uint32 kMovedCheckMs = 150;

// SDL's video start-up and its GPU renderers keep allocations of the system libraries they load
// (D-Bus, GL drivers, made at start-up and lazily at the first present) that are never freed. The
// leak checker is paused around those SDL calls, so that it keeps reporting the program's own
// leaks; the pause is a thread-local counter, cheap enough for every present.
class LeakCheckPause {
public:
    LeakCheckPause()
    {
        if (__lsan_disable != nullptr)
            __lsan_disable();
    }
    ~LeakCheckPause()
    {
        if (__lsan_enable != nullptr)
            __lsan_enable();
    }
    LeakCheckPause(const LeakCheckPause&) = delete;
    LeakCheckPause& operator=(const LeakCheckPause&) = delete;
};

class SdlScreen : public Screen {
public:
    SdlScreen(SdlRendering Rendering, std::shared_ptr<DisplayList> Monitors)
        : FRendering(Rendering), FMonitors(Monitors ? std::move(Monitors) : SdlDisplays())
    {
    }
    ~SdlScreen() override
    {
        Close();
        LeakCheckPause pause;
        if (FVideo)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    uint32_t WindowId() const override { return FWindow ? SDL_GetWindowID(FWindow) : 0; }
    bool HasFocus() const override
    {
        return FWindow && (SDL_GetWindowFlags(FWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
    }
    TRect PictureBounds() const override
    {
        return TRect{FPicture.x, FPicture.y, FPicture.x + FPicture.w, FPicture.y + FPicture.h};
    }

protected:
    bool OpenWindow(int Width, int Height, int DisplayIndex) override;
    void CloseWindow() override;
    void MoveWindow() override;
    void Show(const uint32_t* Pixels) override;
    void ShowWithGamma(const uint32_t* Pixels) override;
    // Draws the texture into the window and presents it.
    void Render();
    void Tend() override;
    void PlaceOnMonitor();
    bool TakeDeviceReset() override;

private:
    bool StartVideo();
    bool MakeRenderer(int Width, int Height);
    void PlacePicture(int Width, int Height);

    const SdlRendering FRendering;
    const std::shared_ptr<DisplayList> FMonitors;
    MonitorCovers FCovers;
    int FShows = 0;
    Uint32 FNextPlacementCheck = 0;
    bool FFullScreenWanted = false;
    bool FKeyboardTaken = false;
    bool FVideo = false;
    SDL_Window* FWindow = nullptr;
    SDL_Renderer* FRenderer = nullptr;
    SDL_Texture* FTexture = nullptr;
    SDL_Rect FPicture{0, 0, 0, 0};
};

bool SdlScreen::StartVideo()
{
    if (!FVideo)
        FVideo = StartSdlVideo();
    return FVideo;
}

bool SdlScreen::MakeRenderer(int Width, int Height)
{
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // A renderer named in SDL's own hint is left to SDL.
    const bool chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
    if (FRendering == SdlRendering::Software || (!chosen && !RendersWithGpu(FWindow))) {
        // Nothing to accelerate without a GPU; a GL context would only load a software GL stack.
        // The software renderer then draws into the window system's own framebuffer.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    if (FRenderer == nullptr)
        FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_PRESENTVSYNC);
    if (FRenderer == nullptr)
        FRenderer = SDL_CreateRenderer(FWindow, -1, 0);
    if (FRenderer == nullptr)
        FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_SOFTWARE);
    if (FRenderer == nullptr)
        return false;
    if (FTexture)
        SDL_DestroyTexture(FTexture);
    // SDL's RGB888 is 0x00RRGGBB in a 32-bit word, the surfaces' own format: no conversion.
    FTexture = SDL_CreateTexture(FRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, Width, Height);
    return FTexture != nullptr;
}

bool SdlScreen::OpenWindow(int Width, int Height, int DisplayIndex)
{
    LeakCheckPause pause;
    if (!StartVideo())
        return false;
    const TRect monitor = Pinned() ? PinnedMonitor() : FMonitors->Bounds(DisplayIndex);
    // A window beside another asks for the full-screen state once it is placed (Tend).
    bool paintedBlack = false;
    FWindow = CoverRect(monitor, kWindowTitle, !PinnedBeside(), &paintedBlack);
    FFullScreenWanted = IsMonitorOfSdl(monitor);
    FNextPlacementCheck = SDL_GetTicks();
    if (FWindow == nullptr || !MakeRenderer(Width, Height)) {
        CloseWindow();
        return false;
    }
    if (!Pinned())
        FCovers.Open(*FMonitors, DisplayIndex, kWindowTitle);
    SDL_RaiseWindow(FWindow);
    FKeyboardTaken = TakeKeyboard(FWindow);
    PlacePicture(Width, Height);
    if (!paintedBlack) {
        SDL_SetRenderDrawColor(FRenderer, 0, 0, 0, 255);
        SDL_RenderClear(FRenderer);
        SDL_RenderPresent(FRenderer);
    }
    return true;
}

void SdlScreen::MoveWindow()
{
    if (FWindow == nullptr)
        return;
    FFullScreenWanted = IsMonitorOfSdl(PinnedMonitor());
    PlaceOnMonitor();
}

// Leaving the full-screen state first lets the window manager move the window at all; Tend asks
// for it again once the window is there.
void SdlScreen::PlaceOnMonitor()
{
    const TRect monitor = PinnedMonitor();
    SDL_SetWindowFullscreen(FWindow, 0);
    SDL_SetWindowPosition(FWindow, monitor.Left, monitor.Top);
    SDL_SetWindowSize(FWindow, monitor.Width(), monitor.Height());
    FNextPlacementCheck = SDL_GetTicks() + kMovedCheckMs;
}

void SdlScreen::CloseWindow()
{
    LeakCheckPause pause;
    FCovers.Close();
    if (FTexture)
        SDL_DestroyTexture(FTexture);
    if (FRenderer)
        SDL_DestroyRenderer(FRenderer);
    if (FWindow)
        SDL_DestroyWindow(FWindow);
    FTexture = nullptr;
    FRenderer = nullptr;
    FWindow = nullptr;
    FPicture = SDL_Rect{0, 0, 0, 0};
}

void SdlScreen::PlacePicture(int Width, int Height)
{
    int outW = Width, outH = Height;
    SDL_GetRendererOutputSize(FRenderer, &outW, &outH);
    const TRect fit = FitRect(Width, Height, outW, outH);
    FPicture = SDL_Rect{fit.Left, fit.Top, fit.Width(), fit.Height()};
}

void SdlScreen::Show(const uint32_t* Pixels)
{
    if (FTexture == nullptr)
        return;
    LeakCheckPause pause;
    SDL_UpdateTexture(FTexture, nullptr, Pixels, Width() * 4);
    Render();
}

// The ramp is applied while the frame goes into the texture: the copy the upload makes anyway.
void SdlScreen::ShowWithGamma(const uint32_t* Pixels)
{
    if (FTexture == nullptr)
        return;
    LeakCheckPause pause;
    void* texels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(FTexture, nullptr, &texels, &pitch) != 0)
        return Screen::ShowWithGamma(Pixels);
    ApplyGammaTo(static_cast<uint32_t*>(texels), pitch / 4, Pixels);
    SDL_UnlockTexture(FTexture);
    Render();
}

// A window found off its monitor (a window manager may put a new window on the monitor that has
// the focus, whatever place it asked for: i3 does) leaves the full-screen state and is moved there
// as a plain window, which such a window manager places by its position; once it covers its
// monitor, a window that is not yet full screen asks for it. Checked at every pass until the
// window is mapped, then about once a second (also while no frame comes), so that a window manager
// with rules of its own is not fought frame by frame.
void SdlScreen::Tend()
{
    const Uint32 now = SDL_GetTicks();
    if (FWindow == nullptr || !Pinned() || static_cast<int32_t>(now - FNextPlacementCheck) < 0)
        return;
    const TRect monitor = PinnedMonitor();
    int x = 0, y = 0, w = 0, h = 0;
    if (!WindowPlace(FWindow, x, y, w, h))
        return;  // not mapped yet
    FNextPlacementCheck = now + kPlacementCheckMs;
    if (!(x <= monitor.Left && y <= monitor.Top && x + w >= monitor.Right && y + h >= monitor.Bottom)) {
        PlaceOnMonitor();
    } else if (FFullScreenWanted && (SDL_GetWindowFlags(FWindow) & SDL_WINDOW_FULLSCREEN) == 0) {
        SDL_SetWindowFullscreen(FWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
}

void SdlScreen::Render()
{
    PlacePicture(Width(), Height());
    SDL_SetRenderDrawColor(FRenderer, 0, 0, 0, 255);
    SDL_RenderClear(FRenderer);
    SDL_RenderCopy(FRenderer, FTexture, nullptr, &FPicture);
    SDL_RenderPresent(FRenderer);
    // About once a second: a cover's contents may have been lost meanwhile, and the keyboard may
    // have gone with another window of ours. Until the window manager has mapped the window (or
    // let go of its own grab), every frame tries to take the keyboard.
    const bool second = ++FShows % 20 == 0;
    if (second)
        FCovers.Repaint();
    if (second || !FKeyboardTaken)
        FKeyboardTaken = TakeKeyboard(FWindow);
}

bool SdlScreen::TakeDeviceReset()
{
    SDL_Event events[8];
    bool reset = false, deviceReset = false;
    int count = 0;
    while ((count = SDL_PeepEvents(events, 8, SDL_GETEVENT, SDL_RENDER_TARGETS_RESET, SDL_RENDER_DEVICE_RESET)) > 0) {
        reset = true;
        for (int i = 0; i < count; ++i)
            deviceReset = deviceReset || events[i].type == SDL_RENDER_DEVICE_RESET;
    }
    if (deviceReset && FRenderer) {
        // The device's textures are gone with it.
        SDL_DestroyTexture(FTexture);
        FTexture = SDL_CreateTexture(FRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, Width(), Height());
    }
    return reset;
}

}  // namespace

std::unique_ptr<Screen> CreateSdlScreen(SdlRendering Rendering, std::shared_ptr<DisplayList> Monitors)
{
    return std::make_unique<SdlScreen>(Rendering, std::move(Monitors));
}

}  // namespace plat
