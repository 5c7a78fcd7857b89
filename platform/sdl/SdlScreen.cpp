// The SDL window backend of the screen. The window covers the whole monitor at the monitor's own
// mode: a borderless window in the window manager's full-screen state (EWMH on X11, a full-screen
// toplevel on Wayland), with the picture scaled to fit, aspect kept, black bars. No mode is ever
// switched: a switched monitor that the saver then fails to restore, or a window manager that
// keeps placing the window for the old mode, leaves the user's desktop broken.
//
// With layers (Screen::SetLayers) there are no bars: the frame and its surround go into one
// texture of the frame's pixel size (the canvas), which is scaled once onto the whole window, so
// the two meet without a seam; the overlay is painted into a texture of the window's own size
// and copied 1:1 over the canvas's bottom rows, which are therefore neither uploaded nor scaled.
// Without a GPU the renderer would only scale in software what mostly stands still, so there the
// window's own pixels take the composition instead (LayerCompositor, which scales again only the
// rows that changed) and the overlay is painted straight into them. On X11 the screen puts them
// itself (X11WindowPixels): SDL's window surface waits for the server after every frame. On
// Wayland SDL's window surface itself goes through a GL renderer: there the composition goes into
// the saver's own buffers instead (WaylandPresenter), at the output's pixel size, shown when the
// compositor asks. A renderer's pictures on Wayland wait for the compositor's asking too
// (FrameWatch), which also tells whether anybody sees the window.
//
// A screen pinned to a monitor (PinToMonitor) covers that monitor and no other; the saver pins one
// screen per monitor. An unpinned screen covers the display it is opened on and puts a black
// window over every other monitor. On X11 the window takes the keyboard, so that a key reaches
// the saver whichever window the window manager focused; while another window covers it whole (a
// screen locker: WindowSight) it lets go of the keyboard and never takes it, so a locker started
// over the saver gets it; seen again, it takes the focus and the keyboard back.
//
// Every SDL video and render call here runs on the main thread.
#include <SDL.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/app/Application.h"
#include "platform/display/Fit.h"
#include "platform/display/LayerCompositor.h"
#include "platform/display/Screen.h"
#include "platform/sdl/GpuRendering.h"
#include "platform/sdl/MonitorCovers.h"
#include "platform/sdl/SdlDisplays.h"
#include "platform/sdl/SdlScreen.h"
#include "platform/sdl/SdlVideo.h"
#include "platform/sdl/X11Window.h"
#include "platform/wayland/FrameWatch.h"
#include "platform/wayland/WaylandPresenter.h"

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
    {}
    ~SdlScreen() override
    {
        Close();
        LeakCheckPause pause;
        if (FVideo && !WindowServerLost())
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    uint32_t WindowId() const override { return FWindow ? SDL_GetWindowID(FWindow) : 0; }
    // A pinned window is there to cover its monitor: a window manager may show it at another size
    // for a moment (a companion placed beside the main window), and the layers are laid out once.
    bool OutputSize(int& Width, int& Height) const override
    {
        if (FPresenter) {
            Width = FPresenter->Width();
            Height = FPresenter->Height();
            return true;
        }
        if (FRenderer == nullptr && !FComposing)
            return false;
        if (!Pinned()) {
            if (FComposing)
                SDL_GetWindowSizeInPixels(FWindow, &Width, &Height);
            return FComposing || SDL_GetRendererOutputSize(FRenderer, &Width, &Height) == 0;
        }
        Width = PinnedMonitor().Width();
        Height = PinnedMonitor().Height();
        return true;
    }
    bool HasFocus() const override { return FWindow && (SDL_GetWindowFlags(FWindow) & SDL_WINDOW_INPUT_FOCUS) != 0; }
    // Wayland's answer comes from the compositor's frame callbacks, X11's from the sight watcher;
    // each backend leaves the other's null.
    bool Seen() const override
    {
        const bool painted = FPresenter ? FPresenter->Seen() : !FWatch || FWatch->Seen();
        return painted && (FSight == nullptr || FSight->Seen());
    }
    TRect PictureBounds() const override
    {
        return TRect{FPicture.x, FPicture.y, FPicture.x + FPicture.w, FPicture.y + FPicture.h};
    }

protected:
    int DisplayCount() const override { return plat::DisplayCount(); }
    bool OpenWindow(int Width, int Height, int DisplayIndex) override;
    void CloseWindow() override;
    void MoveWindow() override;
    void Show(const uint32_t* Pixels) override;
    void ShowWithGamma(const uint32_t* Pixels) override;
    void LayersChanged() override;
    // Draws the textures into the window and presents it.
    void Render();
    void Tend() override;
    void PlaceOnMonitor();
    bool TakeDeviceReset() override;
    bool WantsFrame(bool Waiting) override
    {
        return FPresenter ? FPresenter->Ready(Waiting) : !FWatch || FWatch->Asked(Waiting);
    }

private:
    bool StartVideo();
    bool MakeRenderer();
    // The canvas texture (the frame and its surround) and the overlay's, for the layout.
    bool MakeTextures();
    void PlacePicture(int Width, int Height);
    // The frame and its layers into the textures, through the gamma ramp when Gamma.
    void Upload(const uint32_t* Pixels, bool Gamma);
    void UploadRect(SDL_Texture* Texture, const SDL_Rect& Rect, const uint32_t* Pixels, int Pitch, bool Gamma);
    void PaintOverlayTexture();
    // The canvas and the overlay scaled into the window (Render with layers).
    void CopyLayers(int OutWidth, int OutHeight);
    // Without a GPU: the layers composed in the window's pixels instead of the renderer (on X11
    // put by the screen itself, elsewhere SDL's window surface).
    bool StartComposing();
    void Compose(const uint32_t* Pixels);
    struct Target {
        uint32_t* Pixels = nullptr;
        int Pitch = 0, Width = 0, Height = 0;
    };
    bool BeginTarget(Target& To);
    void EndTarget();
    void ShowFitted(const Target& To);
    // On Wayland without a GPU: into the presenter's buffer.
    void Present(const uint32_t* Pixels);
    // After every present: the covers and the keyboard.
    void Presented();
    // The keyboard given up while another window covers this one whole, taken back with the focus
    // when it is seen again.
    void FollowSight();
    // The focus taken back from a window that took it without covering this one.
    void KeepFocus(Uint32 Now);
    bool Layered() const { return Layout().HasSurround() || Layout().OverlayRows > 0; }

    const SdlRendering FRendering;
    const std::shared_ptr<DisplayList> FMonitors;
    MonitorCovers FCovers;
    int FShows = 0;
    Uint32 FNextPlacementCheck = 0;
    bool FFullScreenWanted = false;
    bool FKeyboardTaken = false;
    bool FWasSeen = true;
    bool FWasCovered = false;
    Uint32 FNextFocusTake = 0;
    std::unique_ptr<WindowSight> FSight;
    bool FVideo = false;
    bool FSoftware = false;  // the renderer draws in software
    bool FComposing = false;  // the layers go into the window's pixels (no renderer)
    std::unique_ptr<X11WindowPixels> FX11Pixels;
    SDL_Window* FWindow = nullptr;
    SDL_Renderer* FRenderer = nullptr;
    SDL_Texture* FTexture = nullptr;
    SDL_Texture* FOverlay = nullptr;
    // Where the overlay is painted when its texture cannot be locked.
    std::vector<uint32_t> FOverlayPixels;
    LayerCompositor FCompositor;
    std::unique_ptr<WaylandPresenter> FPresenter;
    std::unique_ptr<FrameWatch> FWatch;  // a renderer's pictures on Wayland
    FitScaler FScaler;  // the presenter's pictures without layers
    // The pixels composed into last (new ones hold nothing of ours), and the composition kept at
    // the layout's size while the window has another.
    const uint32_t* FComposedOn = nullptr;
    std::vector<uint32_t> FFitted;
    SDL_Rect FPicture{0, 0, 0, 0};
};

bool SdlScreen::StartVideo()
{
    if (!FVideo)
        FVideo = StartSdlVideo();
    return FVideo;
}

// A GPU renders where there is one (unless its GL is a software rasteriser after all); without
// one the saver draws itself on Wayland (WaylandPresenter: SDL's software renderer would go
// through a GL framebuffer there) and takes SDL's software renderer elsewhere. A renderer named in
// SDL's own hint is left to SDL.
bool SdlScreen::MakeRenderer()
{
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    const bool chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
    const bool best = FRendering == SdlRendering::Best;
    if (best && (chosen || RendersWithGpu(FWindow))) {
        FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_PRESENTVSYNC);
        if (FRenderer == nullptr)
            FRenderer = SDL_CreateRenderer(FWindow, -1, 0);
        if (FRenderer != nullptr && !chosen && RasterisesInSoftware(FRenderer)) {
            SDL_DestroyRenderer(FRenderer);
            FRenderer = nullptr;
        }
    }
    if (FRenderer == nullptr && best) {
        FPresenter = WaylandPresenter::Create(FWindow, Pinned() ? PinnedMonitor() : TRect{});
        if (FPresenter)
            return true;
    }
    if (FRenderer == nullptr) {
        // Nothing to accelerate without a GPU; a GL context would only load a software GL stack.
        // The software renderer then draws into the window system's own framebuffer.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    if (FRenderer == nullptr)
        FRenderer = SDL_CreateRenderer(FWindow, -1, 0);
    SDL_RendererInfo info{};
    FSoftware =
        FRenderer != nullptr && SDL_GetRendererInfo(FRenderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    return FRenderer != nullptr;
}

bool SdlScreen::MakeTextures()
{
    LeakCheckPause pause;
    for (SDL_Texture** texture : {&FTexture, &FOverlay}) {
        if (*texture)
            SDL_DestroyTexture(*texture);
        *texture = nullptr;
    }
    const FrameLayout& layout = Layout();
    // SDL's RGB888 is 0x00RRGGBB in a 32-bit word, the surfaces' own format: no conversion.
    const auto make = [this](int Width, int Height) {
        return SDL_CreateTexture(FRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, Width, Height);
    };
    FTexture = make(layout.CanvasWidth(), layout.CanvasHeight());
    if (!layout.Overlay.Empty())
        FOverlay = make(layout.Overlay.Width(), layout.Overlay.Height());
    return FTexture != nullptr && (layout.Overlay.Empty() || FOverlay != nullptr);
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
    if (FWindow == nullptr || !MakeRenderer()) {
        CloseWindow();
        return false;
    }
    if (FRenderer != nullptr)
        FWatch = FrameWatch::OfWindow(FWindow);
    if (!Pinned())
        FCovers.Open(*FMonitors, DisplayIndex, kWindowTitle);
    // A change the watcher sees wakes the loop, whose next pass follows it.
    FSight = WatchSight(FWindow, [] { App().WakeUp(); });
    FWasSeen = true;
    FWasCovered = false;
    SDL_RaiseWindow(FWindow);
    FKeyboardTaken = TakeKeyboard(FWindow);
    PlacePicture(Width, Height);
    if (FPresenter)
        FScaler.SetSizes(Width, Height, FPresenter->Width(), FPresenter->Height());
    else if (!paintedBlack) {
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
    // Before the window goes: their requests name it.
    FSight.reset();
    FX11Pixels.reset();
    FCovers.Close();
    FPresenter.reset();
    FWatch.reset();
    if (FTexture)
        SDL_DestroyTexture(FTexture);
    if (FOverlay)
        SDL_DestroyTexture(FOverlay);
    // Both stay to the process's end when the X server went away (see WindowServerLost).
    if (!WindowServerLost()) {
        if (FRenderer)
            SDL_DestroyRenderer(FRenderer);
        if (FWindow)
            SDL_DestroyWindow(FWindow);
    }
    FTexture = nullptr;
    FOverlay = nullptr;
    FRenderer = nullptr;
    FWindow = nullptr;
    FComposing = false;
    FComposedOn = nullptr;
    std::vector<uint32_t>().swap(FFitted);
    FPicture = SDL_Rect{0, 0, 0, 0};
}

void SdlScreen::PlacePicture(int Width, int Height)
{
    int outW = Width, outH = Height;
    if (FPresenter) {
        outW = FPresenter->Width();
        outH = FPresenter->Height();
    } else {
        SDL_GetRendererOutputSize(FRenderer, &outW, &outH);
    }
    const TRect fit = FitRect(Width, Height, outW, outH);
    FPicture = SDL_Rect{fit.Left, fit.Top, fit.Width(), fit.Height()};
}

void SdlScreen::Show(const uint32_t* Pixels)
{
    if (FPresenter)
        Present(Pixels);
    else if (FComposing)
        Compose(Pixels);
    else
        Upload(Pixels, false);
}

// The ramp is applied while the frame goes into the texture: the copy the upload makes anyway.
// Composing takes the frame and its surround through the ramp first.
void SdlScreen::ShowWithGamma(const uint32_t* Pixels)
{
    if (FComposing || FPresenter)
        Screen::ShowWithGamma(Pixels);
    else
        Upload(Pixels, true);
}

void SdlScreen::Upload(const uint32_t* Pixels, bool Gamma)
{
    if (FTexture == nullptr && !MakeTextures())
        return;
    LeakCheckPause pause;
    const FrameLayout& layout = Layout();
    const FramePlanes planes = ShownPlanes();
    // Rows under the overlay are never seen.
    const int rows = layout.Height - layout.OverlayRows;
    UploadRect(FTexture, SDL_Rect{layout.Left, layout.Top, layout.Width, rows}, Pixels, layout.Width, Gamma);
    // The design's sprites never draw the frame's last column and row, which stay black; shown
    // without bars beside them, the pixels next to them stand in.
    if (Layered()) {
        const int last = layout.Width - 1;
        UploadRect(FTexture, SDL_Rect{layout.Left + last, layout.Top, 1, rows}, Pixels + last - 1, layout.Width, Gamma);
        if (rows == layout.Height)
            UploadRect(FTexture, SDL_Rect{layout.Left, layout.Top + rows - 1, layout.Width, 1},
                       Pixels + static_cast<size_t>(rows - 2) * static_cast<size_t>(layout.Width), layout.Width, Gamma);
    }
    if (planes.Left != nullptr)
        UploadRect(FTexture, SDL_Rect{0, layout.Top, layout.Left, rows}, planes.Left, layout.Left, Gamma);
    if (planes.Right != nullptr)
        UploadRect(FTexture, SDL_Rect{layout.Left + layout.Width, layout.Top, layout.Right, rows}, planes.Right,
                   layout.Right, Gamma);
    if (planes.Top != nullptr)
        UploadRect(FTexture, SDL_Rect{layout.Left, 0, layout.Width, layout.Top}, planes.Top, layout.Width, Gamma);
    if (FOverlay != nullptr)
        PaintOverlayTexture();
    Render();
}

// The overlay is painted straight into its texture (a streaming texture's lock is write-only, so
// the painter paints all of it).
void SdlScreen::PaintOverlayTexture()
{
    const FrameLayout& layout = Layout();
    void* texels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(FOverlay, nullptr, &texels, &pitch) == 0) {
        PaintOverlay(static_cast<uint32_t*>(texels), pitch / 4);
        SDL_UnlockTexture(FOverlay);
        return;
    }
    FOverlayPixels.resize(static_cast<size_t>(layout.Overlay.Width()) * static_cast<size_t>(layout.Overlay.Height()));
    PaintOverlay(FOverlayPixels.data(), layout.Overlay.Width());
    SDL_UpdateTexture(FOverlay, nullptr, FOverlayPixels.data(), layout.Overlay.Width() * 4);
}

void SdlScreen::UploadRect(SDL_Texture* Texture, const SDL_Rect& Rect, const uint32_t* Pixels, int Pitch, bool Gamma)
{
    if (Rect.w <= 0 || Rect.h <= 0)
        return;
    void* texels = nullptr;
    int pitch = 0;
    if (!Gamma || SDL_LockTexture(Texture, &Rect, &texels, &pitch) != 0) {
        // Without a ramp (or a texture that cannot be locked) the pixels go in as they are.
        SDL_UpdateTexture(Texture, &Rect, Pixels, Pitch * 4);
        return;
    }
    ApplyGammaTo(static_cast<uint32_t*>(texels), pitch / 4, Pixels, Pitch, Rect.w, Rect.h);
    SDL_UnlockTexture(Texture);
}

// A window found off its monitor (a window manager may put a new window on the monitor that has
// the focus, whatever place it asked for: i3 does) leaves the full-screen state and is moved there
// as a plain window, which such a window manager places by its position; once it covers its
// monitor, a window that is not yet full screen asks for it. Checked at every pass until the
// window is mapped, then about once a second (also while no frame comes), so that a window manager
// with rules of its own is not fought frame by frame.
void SdlScreen::Tend()
{
    FollowSight();
    if (FPresenter)
        FPresenter->Tend();
    const Uint32 now = SDL_GetTicks();
    KeepFocus(now);
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
    int outW = Width(), outH = Height();
    SDL_GetRendererOutputSize(FRenderer, &outW, &outH);
    SDL_SetRenderDrawColor(FRenderer, 0, 0, 0, 255);
    if (Layered()) {
        CopyLayers(outW, outH);
    } else {
        PlacePicture(Width(), Height());
        SDL_RenderClear(FRenderer);
        SDL_RenderCopy(FRenderer, FTexture, nullptr, &FPicture);
    }
    if (FWatch)
        FWatch->Ask();
    SDL_RenderPresent(FRenderer);
    Presented();
}

// About once a second: a cover's contents may have been lost meanwhile, and the keyboard may have
// gone with another window of ours. Until the window manager has mapped the window (or let go of
// its own grab), every frame tries to take the keyboard.
void SdlScreen::Presented()
{
    const bool second = ++FShows % 20 == 0;
    if (second)
        FCovers.Repaint();
    if ((second || !FKeyboardTaken) && !FWasCovered)
        FKeyboardTaken = TakeKeyboard(FWindow);
}

// A screen locker maps its window over the saver's and then grabs the keyboard, giving up after a
// while when it cannot: the saver lets go as soon as another window covers it whole. Unseen for
// another reason (the monitors off) it keeps the keyboard, so that a key still ends the saver
// instead of typing into a program below. A locker that took the focus to get the keyboard leaves
// it nowhere in particular when it ends: seen again, the window takes the focus back.
void SdlScreen::FollowSight()
{
    const bool seen = Seen(), covered = FSight != nullptr && FSight->Covered();
    if (covered && !FWasCovered) {
        GiveKeyboard(FWindow);
        FKeyboardTaken = false;
    }
    FWasCovered = covered;
    if (seen == FWasSeen)
        return;
    FWasSeen = seen;
    if (!seen)
        return;
    SDL_RaiseWindow(FWindow);
    FKeyboardTaken = TakeKeyboard(FWindow);
}

// The application pauses while none of its windows has the focus, as the host's design wants; a
// window that opens under the saver and takes the focus (a program started meanwhile, a dialog)
// would leave it paused for good, its picture still and its keys going elsewhere. A seen window
// takes the focus back, about once a second while it lacks it; a covering one (a screen locker)
// never does.
void SdlScreen::KeepFocus(Uint32 Now)
{
    if (FWindow == nullptr || App().Focused() || !FWasSeen || FWasCovered ||
        static_cast<int32_t>(Now - FNextFocusTake) < 0)
        return;
    FNextFocusTake = Now + kPlacementCheckMs;
    if (TakeFocus(FWindow))
        FKeyboardTaken = TakeKeyboard(FWindow);
}

// The layout was made for the window's size when the layers were set; a window that has changed
// size since (moved to another monitor) shows the whole composition fitted into it.
void SdlScreen::CopyLayers(int OutWidth, int OutHeight)
{
    const FrameLayout& layout = Layout();
    const TRect fit = FitRect(layout.OutputWidth, layout.OutputHeight, OutWidth, OutHeight);
    const auto map = [&](double X, double Y, double W, double H) {
        const double fx = static_cast<double>(fit.Width()) / layout.OutputWidth;
        const double fy = static_cast<double>(fit.Height()) / layout.OutputHeight;
        const auto at = [](double V) { return static_cast<int>(std::lround(V)); };
        const int left = fit.Left + at(X * fx), top = fit.Top + at(Y * fy);
        return SDL_Rect{left, top, fit.Left + at((X + W) * fx) - left, fit.Top + at((Y + H) * fy) - top};
    };
    if (fit.Width() != OutWidth || fit.Height() != OutHeight)
        SDL_RenderClear(FRenderer);
    const double scale = layout.Scale();
    const TRect& picture = layout.Picture;
    const double canvasX = picture.Left - layout.Left * scale, canvasY = picture.Top - layout.Top * scale;
    const int shownRows = layout.CanvasHeight() - layout.OverlayRows;
    const double shownHeight = layout.Overlay.Empty() ? shownRows * scale : layout.Overlay.Top - canvasY;
    const SDL_Rect source{0, 0, layout.CanvasWidth(), shownRows};
    const SDL_Rect canvas = map(canvasX, canvasY, layout.CanvasWidth() * scale, shownHeight);
    SDL_RenderCopy(FRenderer, FTexture, &source, &canvas);
    const SDL_Rect frame = map(picture.Left, picture.Top, picture.Width(), picture.Height());
    FPicture = frame;
    if (FOverlay != nullptr) {
        const TRect& overlay = layout.Overlay;
        const SDL_Rect to = map(overlay.Left, overlay.Top, overlay.Width(), overlay.Height());
        SDL_RenderCopy(FRenderer, FOverlay, nullptr, &to);
    }
}

void SdlScreen::LayersChanged()
{
    if (FPresenter) {
        FCompositor.Reset(Layout());
        const TRect& picture = Layout().Picture;
        FPicture = SDL_Rect{picture.Left, picture.Top, picture.Width(), picture.Height()};
    } else if (!(FSoftware && Layered() && StartComposing())) {
        MakeTextures();
    }
}

// The window's pixels and a renderer cannot both draw into one window: the renderer goes (the
// window's first frames were drawn with it). A surface that is not 32-bit XRGB keeps the renderer.
bool SdlScreen::StartComposing()
{
    LeakCheckPause pause;
    for (SDL_Texture** texture : {&FTexture, &FOverlay}) {
        if (*texture)
            SDL_DestroyTexture(*texture);
        *texture = nullptr;
    }
    SDL_DestroyRenderer(FRenderer);
    FRenderer = nullptr;
    FX11Pixels = X11WindowPixels::Open(FWindow);
    const SDL_Surface* surface = FX11Pixels ? nullptr : SDL_GetWindowSurface(FWindow);
    FComposing = FX11Pixels != nullptr ||
        (surface != nullptr &&
         (surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888));
    FComposedOn = nullptr;
    if (FComposing) {
        FCompositor.Reset(Layout());
        const TRect& picture = Layout().Picture;
        FPicture = SDL_Rect{picture.Left, picture.Top, picture.Width(), picture.Height()};
    } else {
        MakeRenderer();
    }
    return FComposing;
}

void SdlScreen::Compose(const uint32_t* Pixels)
{
    LeakCheckPause pause;
    Target window;
    if (!BeginTarget(window))
        return;
    const FrameLayout& layout = Layout();
    const bool fits = window.Width == layout.OutputWidth && window.Height == layout.OutputHeight;
    if (fits)
        std::vector<uint32_t>().swap(FFitted);
    else
        FFitted.resize(static_cast<size_t>(layout.OutputWidth) * static_cast<size_t>(layout.OutputHeight));
    uint32_t* out = fits ? window.Pixels : FFitted.data();
    const int pitch = fits ? window.Pitch : layout.OutputWidth;
    // New pixels (the window was resized or its surface lost) hold nothing of the last frames.
    if (out != FComposedOn)
        FCompositor.Invalidate();
    FComposedOn = out;
    FCompositor.Compose(Pixels, ShownPlanes(), out, pitch);
    const TRect& overlay = layout.Overlay;
    if (!overlay.Empty())
        PaintOverlay(out + static_cast<size_t>(overlay.Top) * static_cast<size_t>(pitch) + overlay.Left, pitch);
    if (!fits)
        ShowFitted(window);
    // The whole window goes each time: the window system may have lost any part of it meanwhile.
    EndTarget();
    Presented();
}

bool SdlScreen::BeginTarget(Target& To)
{
    if (FX11Pixels) {
        SDL_GetWindowSizeInPixels(FWindow, &To.Width, &To.Height);
        To.Pixels = FX11Pixels->Begin(To.Width, To.Height, To.Pitch);
        return To.Pixels != nullptr;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(FWindow);
    if (surface == nullptr || SDL_LockSurface(surface) != 0)
        return false;
    To = Target{static_cast<uint32_t*>(surface->pixels), surface->pitch / 4, surface->w, surface->h};
    return true;
}

void SdlScreen::EndTarget()
{
    if (FX11Pixels) {
        FX11Pixels->Put();
        return;
    }
    SDL_UnlockSurface(SDL_GetWindowSurface(FWindow));
    SDL_UpdateWindowSurface(FWindow);
}

// While the window has another size than the layout's (moved to another monitor), the whole
// composition fitted into it, black around.
void SdlScreen::ShowFitted(const Target& To)
{
    const FrameLayout& layout = Layout();
    SDL_Surface* composed = SDL_CreateRGBSurfaceWithFormatFrom(FFitted.data(), layout.OutputWidth, layout.OutputHeight,
                                                               32, layout.OutputWidth * 4, SDL_PIXELFORMAT_RGB888);
    SDL_Surface* window =
        SDL_CreateRGBSurfaceWithFormatFrom(To.Pixels, To.Width, To.Height, 32, To.Pitch * 4, SDL_PIXELFORMAT_RGB888);
    const TRect fit = FitRect(layout.OutputWidth, layout.OutputHeight, To.Width, To.Height);
    SDL_Rect to{fit.Left, fit.Top, fit.Width(), fit.Height()};
    if (window != nullptr) {
        SDL_FillRect(window, nullptr, 0);
        if (composed != nullptr)
            SDL_BlitScaled(composed, nullptr, window, &to);
    }
    SDL_FreeSurface(window);
    SDL_FreeSurface(composed);
    const TRect& picture = layout.Picture;
    const double fx = static_cast<double>(fit.Width()) / layout.OutputWidth;
    const double fy = static_cast<double>(fit.Height()) / layout.OutputHeight;
    FPicture = SDL_Rect{fit.Left + static_cast<int>(picture.Left * fx), fit.Top + static_cast<int>(picture.Top * fy),
                        static_cast<int>(picture.Width() * fx), static_cast<int>(picture.Height() * fy)};
}

// The presenter's buffer holds the last picture: the compositor draws only the rows that changed,
// the overlay is painted whole and the rows where it changed are shown.
void SdlScreen::Present(const uint32_t* Pixels)
{
    int pitch = 0;
    uint32_t* out = FPresenter->Begin(pitch);
    if (out == nullptr)
        return;
    if (Layered()) {
        const LayerCompositor::Rows rows = FCompositor.Compose(Pixels, ShownPlanes(), out, pitch);
        FPresenter->Changed(rows.First, rows.Last);
        const TRect& overlay = Layout().Overlay;
        if (!overlay.Empty()) {
            PaintOverlay(out + static_cast<size_t>(overlay.Top) * static_cast<size_t>(pitch) + overlay.Left, pitch);
            FPresenter->ChangedWhereDiffers(overlay.Top, overlay.Bottom);
        }
    } else {
        FScaler.Scale(Pixels, out, pitch);
        FPresenter->ChangedWhereDiffers(0, FPresenter->Height());
    }
    FPresenter->Commit();
    Presented();
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
    // The device's textures are gone with it.
    if (deviceReset && FRenderer)
        MakeTextures();
    return reset;
}

}  // namespace

std::unique_ptr<Screen> CreateSdlScreen(SdlRendering Rendering, std::shared_ptr<DisplayList> Monitors)
{
    return std::make_unique<SdlScreen>(Rendering, std::move(Monitors));
}

}  // namespace plat
