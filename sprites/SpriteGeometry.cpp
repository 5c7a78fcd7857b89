// Design-space scaling and screen clipping of the sprites. Sums are formed in 64 bits, so a
// position far off the screen can never wrap around onto it.
#include "sprites/SpriteGeometry.h"

#include <algorithm>
#include <limits>

namespace sprites {
namespace {

// The source span [From, To) and its destination along one axis.
struct Span {
    int64_t From = 0;
    int64_t To = 0;
    int64_t Dest = 0;
};

// The five rules, first match wins. Only the third is widened: a sprite that also starts before
// the screen is cut there too, where the rule alone would give a destination off the screen.
bool ClipSpan(int64_t Pos, int64_t Size, int64_t Screen, Span& Out)
{
    if (Pos > 0 && Pos + Size < Screen)
        Out = {0, Size, Pos};
    else if (Pos > Screen - 2)
        return false;
    else if (Pos + Size > Screen - 1)
        Out = {std::max<int64_t>(-Pos, 0), Screen - 1 - Pos, std::max<int64_t>(Pos, 0)};
    else if (Pos + Size < 2)
        return false;
    else
        Out = {-Pos, Size, 0};
    return Out.To > Out.From;
}

}  // namespace

int32_t ScaleToScreen(int32_t Value, int32_t Screen, int32_t Design)
{
    const int64_t Scaled = int64_t{Value} * Screen / Design;
    return static_cast<int32_t>(
        std::clamp<int64_t>(Scaled, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool ClipToScreen(int32_t X, int32_t Y, int32_t Width, int32_t Height, int32_t ScreenWidth, int32_t ScreenHeight,
                  BlitPlan& Plan)
{
    Span H, V;
    if (!ClipSpan(X, Width, ScreenWidth, H) || !ClipSpan(Y, Height, ScreenHeight, V))
        return false;
    // Every value is now within [0, max(Width, Height, Screen)], so it fits 32 bits.
    Plan.Source = plat::TRect{static_cast<int32_t>(H.From), static_cast<int32_t>(V.From), static_cast<int32_t>(H.To),
                              static_cast<int32_t>(V.To)};
    Plan.DestX = static_cast<int32_t>(H.Dest);
    Plan.DestY = static_cast<int32_t>(V.Dest);
    return true;
}

}  // namespace sprites
