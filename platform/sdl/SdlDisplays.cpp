// SDL's list of monitors keeps SDL's video running while it lives, since SDL reads them anew
// from the window system's events only then.
#include <SDL.h>

#include "platform/sdl/SdlDisplays.h"
#include "platform/sdl/SdlVideo.h"
#include "platform/x11/RandrMonitors.h"

namespace plat {
namespace {

class SdlDisplayList : public DisplayList {
public:
    SdlDisplayList() : FVideo(StartSdlVideo()) {}
    ~SdlDisplayList() override
    {
        if (FVideo)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SdlDisplayList(const SdlDisplayList&) = delete;
    SdlDisplayList& operator=(const SdlDisplayList&) = delete;

    int Count() const override
    {
        const int count = FVideo ? SDL_GetNumVideoDisplays() : 0;
        return count > 0 ? count : 0;
    }
    TRect Bounds(int Index) const override
    {
        SDL_Rect r{};
        if (!FVideo || SDL_GetDisplayBounds(Index, &r) != 0)
            return TRect{};
        return TRect{r.x, r.y, r.x + r.w, r.y + r.h};
    }

private:
    const bool FVideo;
};

}  // namespace

std::shared_ptr<DisplayList> SdlDisplays()
{
    return std::make_shared<SdlDisplayList>();
}

namespace {

// RandR's list, with SDL's video kept running beside it for the windows.
class X11Monitors : public DisplayList {
public:
    X11Monitors(std::shared_ptr<DisplayList> Randr, std::shared_ptr<DisplayList> Sdl)
        : FRandr(std::move(Randr)), FSdl(std::move(Sdl))
    {}
    int Count() const override { return FRandr->Count(); }
    TRect Bounds(int Index) const override { return FRandr->Bounds(Index); }

private:
    std::shared_ptr<DisplayList> FRandr;
    std::shared_ptr<DisplayList> FSdl;
};

}  // namespace

int DisplayCount()
{
    // Asked before any window exists, the video subsystem is started just for the question.
    const bool started = SDL_WasInit(SDL_INIT_VIDEO) == 0;
    if (started && !StartSdlVideo())
        return 1;
    const int count = SDL_GetNumVideoDisplays();
    if (started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return count > 0 ? count : 1;
}

std::shared_ptr<DisplayList> DesktopMonitors()
{
    std::shared_ptr<DisplayList> sdl = SdlDisplays();
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || SDL_strcmp(driver, "x11") != 0)
        return sdl;
    if (std::shared_ptr<DisplayList> randr = RandrMonitors())
        return std::make_shared<X11Monitors>(std::move(randr), std::move(sdl));
    return sdl;
}

}  // namespace plat
