// The saver window's picture on Wayland, put there by the saver itself rather than through SDL's
// window surface (which on Wayland goes through a GL renderer, llvmpipe where there is no GPU,
// and uploads and redraws the whole window every frame).
//
// SDL keeps the window: the xdg-shell toplevel, its full-screen state, input and the cursor. Its
// surface gets a single black pixel stretched over the window (so the window is mapped and black
// at once) and one child, a desynchronised subsurface of the saver's own that takes no input, on
// which the pictures are shown from shared-memory buffers (ShmBuffers) at the output's own pixel
// size: the window's logical size times the output's scale (fractional-scale-v1 where offered,
// else the output's mode over its logical size), put back to the logical size by the viewporter
// (or an integer buffer scale where there is no viewporter). SDL's own frame callbacks damage its
// whole surface every frame; on the child surface only the rows that changed are damaged.
//
// A picture is shown only after the compositor asked for one (FrameWatch: the last picture's frame
// callback came, which also tells whether the window is seen) and a buffer is free. Main thread,
// like every SDL video call.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/types/Geometry.h"
#include "platform/wayland/FrameWatch.h"
#include "platform/wayland/ShmBuffers.h"

struct SDL_Window;
struct wl_surface;
struct wl_subsurface;
struct wp_fractional_scale_v1;
struct wp_viewport;

namespace plat {

class WaylandLink;

class WaylandPresenter {
public:
    // For SDL's window covering Monitor (SDL's display bounds, logical; empty: the display the
    // window is on). Null when the window is no Wayland window or the compositor lacks what the
    // saver's own drawing needs.
    static std::unique_ptr<WaylandPresenter> Create(SDL_Window* Target, const TRect& Monitor);
    ~WaylandPresenter();
    WaylandPresenter(const WaylandPresenter&) = delete;
    WaylandPresenter& operator=(const WaylandPresenter&) = delete;

    // The pictures' size in pixels.
    int Width() const;
    int Height() const;

    // Every pass of the loop: the compositor's releases, and the window's size followed.
    void Tend();
    // True when the compositor asked for the next picture and a buffer is free for it. Otherwise,
    // with Waiting (a picture waits to be shown), the compositor's asking wakes the loop.
    bool Ready(bool Waiting);
    // The buffer for the next picture (null when not Ready), holding the last picture shown;
    // Pitch: pixels from one row to the next.
    uint32_t* Begin(int& Pitch);
    // The rows [First, Last) of the picture being made changed, or changed where they differ
    // from the last picture shown.
    void Changed(int First, int Last);
    void ChangedWhereDiffers(int First, int Last);
    // Shows the picture, damaging only the rows that changed; without any, nothing is shown.
    void Commit();
    bool Seen() const { return FFrames->Seen(); }

private:
    friend struct WaylandPresenterListeners;

    WaylandPresenter(SDL_Window* Target, std::unique_ptr<WaylandLink> Link, wl_surface* Parent);
    bool MakeSurfaces(const TRect& Logical);
    void FollowWindowSize();
    void PaintParentBlack(int LogicalWidth, int LogicalHeight);
    void Damage();

    SDL_Window* const FWindow;
    std::unique_ptr<WaylandLink> FLink;
    wl_surface* const FParent;  // SDL's
    wl_surface* FSurface = nullptr;
    wl_subsurface* FSubsurface = nullptr;
    wp_viewport* FViewport = nullptr;
    wp_viewport* FParentViewport = nullptr;
    wp_fractional_scale_v1* FFractional = nullptr;
    std::unique_ptr<FrameWatch> FFrames;
    double FScale = 1.0;  // pixels per logical pixel
    int FLogicalWidth = 0, FLogicalHeight = 0;  // the window's, as last followed
    std::unique_ptr<ShmBuffers> FBuffers;
    std::unique_ptr<ShmBuffers> FBlack;  // the parent's picture
    // The buffer being drawn and the last one shown.
    ShmBuffers::Buffer* FDrawing = nullptr;
    ShmBuffers::Buffer* FNewest = nullptr;
    uint64_t FPictures = 0;  // pictures shown so far
    std::vector<uint64_t> FRowPicture;  // per row, the picture that last changed it
};

}  // namespace plat
