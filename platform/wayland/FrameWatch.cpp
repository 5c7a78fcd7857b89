#include "platform/wayland/FrameWatch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <wayland-client.h>

#include <algorithm>

namespace plat {
namespace {

// A compositor that shows the window asks for the next picture within a few of its frames; one
// that has not asked for this long has stopped asking.
constexpr std::chrono::milliseconds kUnseenAfter{300};

// Until when the loop may leave SDL's connection unwatched (QuietMs): the newest picture any
// window showed, plus kUnseenAfter. Main thread.
std::chrono::steady_clock::time_point gQuietUntil{};

}  // namespace

struct FrameWatchListener {
    static void Done(void* Data, wl_callback*, uint32_t) { static_cast<FrameWatch*>(Data)->Done(); }
};

namespace {

constexpr wl_callback_listener kListener = {FrameWatchListener::Done};

}  // namespace

// The callbacks are asked for through a wrapper of the surface on SDL's (the default) queue.
FrameWatch::FrameWatch(SDL_Window* Target, wl_surface* Surface)
    : FWindow(Target), FSurface(static_cast<wl_surface*>(wl_proxy_create_wrapper(Surface)))
{
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(FSurface), nullptr);
}

std::unique_ptr<FrameWatch> FrameWatch::OfWindow(SDL_Window* Target)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (Target == nullptr || !SDL_GetWindowWMInfo(Target, &info) || info.subsystem != SDL_SYSWM_WAYLAND)
        return nullptr;
    return std::make_unique<FrameWatch>(Target, info.info.wl.surface);
}

FrameWatch::~FrameWatch()
{
    if (FFrame != nullptr)
        wl_callback_destroy(FFrame);
    wl_proxy_wrapper_destroy(FSurface);
}

void FrameWatch::Ask()
{
    if (FFrame != nullptr)
        wl_callback_destroy(FFrame);
    FFrame = wl_surface_frame(FSurface);
    wl_callback_add_listener(FFrame, &kListener, this);
    FAskedAt = Clock::now();
    gQuietUntil = std::max(gQuietUntil, FAskedAt + kUnseenAfter);
}

bool FrameWatch::Asked(bool Waiting)
{
    if (FFrame == nullptr)
        return true;
    FWakeWhenAsked = FWakeWhenAsked || Waiting;
    return false;
}

bool FrameWatch::Seen() const
{
    return FFrame == nullptr || Clock::now() - FAskedAt < kUnseenAfter;
}

int FrameWatch::QuietMs()
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(gQuietUntil - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

// A window exposure tells the loop (whether it sleeps on SDL's connection or its own) to look again.
void FrameWatch::Done()
{
    const bool wake = !Seen() || FWakeWhenAsked;
    wl_callback_destroy(FFrame);
    FFrame = nullptr;
    FWakeWhenAsked = false;
    if (!wake)
        return;
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_EXPOSED;
    event.window.windowID = SDL_GetWindowID(FWindow);
    SDL_PushEvent(&event);
}

}  // namespace plat
