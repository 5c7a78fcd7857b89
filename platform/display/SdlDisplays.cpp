// The monitors as SDL sees them.
#include <SDL.h>

#include "platform/display/DisplayList.h"

namespace plat {
namespace {

class SdlDisplayList : public DisplayList {
public:
    int Count() const override
    {
        const int count = SDL_GetNumVideoDisplays();
        return count > 0 ? count : 0;
    }
    TRect Bounds(int Index) const override
    {
        SDL_Rect r{};
        if (SDL_GetDisplayBounds(Index, &r) != 0)
            return TRect{};
        return TRect{r.x, r.y, r.x + r.w, r.y + r.h};
    }
};

}  // namespace

std::shared_ptr<DisplayList> SdlDisplays()
{
    return std::make_shared<SdlDisplayList>();
}

}  // namespace plat
