// The monitors as SDL sees them. The list keeps SDL's video running while it lives, so that SDL
// follows monitors that come and go (it reads them anew from the window system's events).
#include <SDL.h>

#include "platform/app/SdlVideo.h"
#include "platform/display/DisplayList.h"

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

}  // namespace plat
