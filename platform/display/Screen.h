// The screen that a display object shows its primary surface on: the saver's window. The frame
// thread flips finished frames into the screen's mailbox; the main thread calls PresentLatest from
// its message loop to show the newest one. Backends, each in its own folder: the SDL window
// (sdl/SdlScreen.h), another program's X window (x11/ForeignScreen.h) and a headless screen that
// keeps the newest presented frame for tests (headless/HeadlessScreen.h).
//
// Frames may be shown with layers (FrameLayout.h): the surround that fills the window around the
// scaled frame, which the producer draws into each frame's buffer before the flip, so that it
// always matches the frame; and the overlay over the frame's bottom rows at the window's own
// resolution, which a painter draws on the main thread whenever a frame is shown.
//
// The screen also applies the gamma ramp the display layer sets (brightness), and notes resets of
// its render device, which the display layer reports as a lost primary surface.
//
// Open, Close, PresentLatest and the window queries run on the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/display/FrameLayout.h"
#include "platform/display/FrameMailbox.h"
#include "platform/types/Geometry.h"

namespace plat {

struct DDGAMMARAMP;

class Screen {
public:
    virtual ~Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Shows a black picture of Width x Height covering the whole of display DisplayIndex (or of
    // the pinned monitor), at the display's own mode, the picture scaled to fit with its aspect
    // kept and black bars. Closes a previous opening first. False when no window can be made.
    bool Open(int Width, int Height, int DisplayIndex);
    void Close();
    bool IsOpen() const { return FFrames.Allocated(); }
    int Width() const { return FFrames.Width(); }
    int Height() const { return FFrames.Height(); }

    // Shows the newest frame flipped since the last call, if there is one, and notices a reset of
    // the render device (the frame is then shown again on the new device). A window system not yet
    // ready for another picture leaves the frame for a later call. True when something was shown.
    bool PresentLatest();

    // How many displays the screen may be opened on (Open's DisplayIndex): the window system's
    // count, at least 1. Each backend asks its window system; 1 where it knows of no other.
    virtual int DisplayCount() const;
    // The window system's id of the window (0 without a window) and whether it has the keyboard.
    virtual uint32_t WindowId() const { return 0; }
    virtual bool HasFocus() const { return IsOpen(); }
    // Where the picture lies in the window, in window pixels (the whole window after a real mode
    // switch; inside black bars when scaled).
    virtual TRect PictureBounds() const { return TRect{0, 0, Width(), Height()}; }
    // True once the window went away under the screen (its owner destroyed it); nothing is
    // shown any more.
    virtual bool WindowLost() const { return false; }
    // True when frames reach the window through shared memory.
    virtual bool SharedMemory() const { return false; }
    // False while nobody can see the window: every monitor it covers powered off, the window fully
    // covered by another (a locker) or hidden. A backend that learns of a change outside the
    // loop's own events wakes the application, so the loop looks again at once.
    virtual bool Seen() const { return true; }

    // From now on the screen covers the monitor with these bounds (desktop pixels), whatever
    // display it is opened on, and no other; an open window moves there. One screen per monitor
    // is how the saver covers a desktop of several monitors. Beside: the window opens while
    // another full-screen window of the program's is open, and asks for the full-screen state only
    // once the window manager shows it on its monitor (some put a new full-screen window on the
    // monitor with the focus, and take the state from the window there).
    void PinToMonitor(const TRect& Bounds, bool Beside = false);
    bool Pinned() const { return !FPinned.Empty(); }
    const TRect& PinnedMonitor() const { return FPinned; }
    bool PinnedBeside() const { return FBeside; }

    // From now on every frame carries the surround (when Surround), and the frame's bottom
    // OverlayRows rows are covered by the overlay, laid out for the window's present size. The
    // surround's pixels start black; the producer draws them into each frame (Planes) before
    // flipping it. A backend that shows no layers keeps frames without any. Main thread, while
    // the screen is open and no frame is being drawn (the frame timer stopped).
    void SetLayers(bool Surround, int OverlayRows);
    const FrameLayout& Layout() const { return FLayout; }
    // Producer: the surround of buffer Index of the mailbox (all null without one).
    FramePlanes Planes(int Index) { return PlanesAt(FFrames.Extras(Index), FLayout); }
    // Paints the whole overlay (Layout().Overlay's size, rows Pitch pixels apart) each time a
    // frame is shown, on the main thread; until one is set, or after Close, the overlay is black.
    using OverlayPainter = std::function<void(uint32_t* Pixels, int Pitch)>;
    void SetOverlayPainter(OverlayPainter Painter) { FOverlayPainter = std::move(Painter); }

    // The display layer's side.
    FrameMailbox& Frames() { return FFrames; }
    // Count of render device resets so far; any thread.
    uint32_t DeviceResets() const { return FDeviceResets.load(std::memory_order_acquire); }
    void SetGammaRamp(const DDGAMMARAMP& Ramp);
    void GetGammaRamp(DDGAMMARAMP& Ramp) const;
    void ResetGammaRamp();
    // What the display can do besides showing frames, as the display layer asks it. Every backend
    // here has a gamma ramp that can be read back and loaded (applied in software where the
    // display has none of its own), brings a lost picture back, and takes a flip at once; a
    // display that cannot answers otherwise (a fake one in the tests stands for such displays).
    virtual bool HasGammaRamp() const { return true; }
    virtual bool ReadsGammaRamp() const { return true; }
    virtual bool LoadsGammaRamp() const { return true; }
    // Frame thread: whether a lost primary surface can be restored now.
    virtual bool RestoresPicture() { return true; }
    // Frame thread: true while the display still draws from the buffer a flip would hand over.
    virtual bool StillDrawing() { return false; }

protected:
    Screen() { ResetGammaRamp(); }
    void NoteDeviceReset() { FDeviceResets.fetch_add(1, std::memory_order_acq_rel); }

    // Backend: the window's size in pixels while open (a pinned window's: its monitor's); a
    // backend that shows layers answers it, the others show the frame alone.
    virtual bool OutputSize(int& Width, int& Height) const
    {
        (void)Width, (void)Height;
        return false;
    }
    // Backend: the layout changed (SetLayers); the next Show has the new layers.
    virtual void LayersChanged() {}
    // Inside Show: the surround of the frame being shown, gamma applied like the frame, as parts or
    // as the one block of Layout().LayerPixels() pixels they lie in (null without one).
    FramePlanes ShownPlanes() const { return PlanesAt(FShownLayers, FLayout); }
    const uint32_t* ShownLayerPixels() const { return FShownLayers; }
    // Inside Show: the overlay painted into Pixels, through the gamma ramp like the frame.
    void PaintOverlay(uint32_t* Pixels, int Pitch) const;

    // Backend: make the window for Width x Height on a display; false when impossible.
    virtual bool OpenWindow(int Width, int Height, int DisplayIndex) = 0;
    virtual void CloseWindow() = 0;
    // Backend: the open window goes over the pinned monitor.
    virtual void MoveWindow() {}
    // Backend: looks after the open window on every pass of the loop, with or without a new frame
    // (keeps it where it belongs).
    virtual void Tend() {}
    // Backend: show a frame of Width() x Height() pixels (gamma already applied).
    virtual void Show(const uint32_t* Pixels) = 0;
    // Backend: true when the render device was reset since the last call.
    virtual bool TakeDeviceReset() { return false; }
    // Backend: false while the window system is not ready for another picture (the compositor
    // has not asked for one yet); the newest frame then waits in the mailbox. Told that one waits
    // (Waiting), the backend wakes the loop once it is ready.
    virtual bool WantsFrame(bool Waiting)
    {
        (void)Waiting;
        return true;
    }
    // Backend: show a frame through a gamma ramp that is not the identity. The default applies
    // the ramp into a frame of the screen's own and calls Show; a backend that copies every frame
    // anyway applies the ramp during that copy instead (ApplyGammaTo), which costs no extra pass.
    virtual void ShowWithGamma(const uint32_t* Pixels);
    // Only inside ShowWithGamma: Pixels (Width() x Height()) through the ramp into Dest, whose
    // rows are DestPitch pixels apart; or any Width x Height pixels, rows SourcePitch apart.
    void ApplyGammaTo(uint32_t* Dest, int DestPitch, const uint32_t* Pixels) const;
    void ApplyGammaTo(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width,
                      int Height) const;

private:
    FrameMailbox FFrames;
    FrameLayout FLayout;
    uint32_t* FShownLayers = nullptr;
    OverlayPainter FOverlayPainter;
    bool FShowingWithGamma = false;
    TRect FPinned{};
    bool FBeside = false;
    std::atomic<uint32_t> FDeviceResets{0};
    mutable std::mutex FGammaLock;
    bool FGammaIdentity = true;
    bool FGammaLinear = false;
    uint32_t FGammaSlopes[3] = {};
    uint8_t FGammaTable[3][256] = {};
    // The ramp as loaded (GetGammaRamp reads it back unchanged); the identity until one is.
    uint16_t FGammaRamp[3][256] = {};
    std::vector<uint32_t> FGammaFrame;
    std::vector<uint32_t> FGammaLayers;
};

}  // namespace plat
