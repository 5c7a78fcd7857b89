// Whether the compositor asks for a window's pictures, from the frame callback asked for with each
// picture shown (wl_surface.frame). It paces the pictures (the next one waits until the compositor
// asked for it), tells whether the window is seen (a compositor stops the callbacks for a window
// on a workspace not shown, on an output powered off, or covered), and lets the application loop
// sleep without watching SDL's connection while the pictures flow (QuietMs).
//
// The callbacks come on SDL's queue, which SDL reads whenever the loop waits on the connection:
// the one that ends an unseen spell, or that comes while a picture waits for it, pushes a window
// exposure event, which wakes the loop. Main thread, like every SDL video call.
#pragma once

#include <chrono>
#include <memory>

struct SDL_Window;
struct wl_callback;
struct wl_surface;

namespace plat {

class FrameWatch {
public:
    // For a surface of SDL's window Target (its own, or a child surface of it).
    FrameWatch(SDL_Window* Target, wl_surface* Surface);
    // For SDL's own surface of Target; null when it is no Wayland window.
    static std::unique_ptr<FrameWatch> OfWindow(SDL_Window* Target);
    ~FrameWatch();
    FrameWatch(const FrameWatch&) = delete;
    FrameWatch& operator=(const FrameWatch&) = delete;

    // Right before the commit that shows a picture: that picture's frame callback is asked for.
    void Ask();
    // True when the compositor asked for the next picture (the last one's callback came).
    // Otherwise, with Waiting (a picture waits to be shown), its asking wakes the loop.
    bool Asked(bool Waiting);
    // False while the compositor has not asked for a picture for longer than a frame can take.
    bool Seen() const;

    // How long the application loop may sleep without watching SDL's connection (0: it must
    // watch). A picture shown less than a frame callback's longest wait ago means its window is
    // seen and its frames flow: the next one wakes the loop, whose pass reads what the compositor
    // sent. Watching meanwhile would wake the loop once more for every frame, for the compositor's
    // answers to the last (its frame callback, the buffer it released).
    static int QuietMs();

private:
    using Clock = std::chrono::steady_clock;
    friend struct FrameWatchListener;
    void Done();

    SDL_Window* const FWindow;
    wl_surface* FSurface;  // a wrapper of the surface on SDL's queue
    wl_callback* FFrame = nullptr;
    Clock::time_point FAskedAt{};
    bool FWakeWhenAsked = false;
};

}  // namespace plat
