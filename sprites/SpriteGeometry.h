// The arithmetic that the still-image and the strip sprite share: converting design-space
// positions and sizes (the scene is laid out in the design space, layout::kDesignWidth x
// kDesignHeight) to the screen, and clipping a
// sprite's source rectangle against the screen edges before its 1:1 blit.
//
// The clipping keeps the sprites' long-standing behaviour: a sprite never draws into the last
// screen column or row, one sticking out on the left or top by all but one column or row is not
// drawn, while on the right or bottom a single visible column or row still is. A sprite wider or
// taller than the screen that sticks out on both sides is cut on both sides.
#pragma once

#include "platform/types/Geometry.h"
#include "sprites/SceneLayout.h"

#include <cstdint>

namespace sprites {

using layout::kDesignHeight;
using layout::kDesignWidth;

// Value x Screen / Design, the product first, truncated toward zero; a result beyond the 32-bit
// range is held at its edge.
int32_t ScaleToScreen(int32_t Value, int32_t Screen, int32_t Design);

// Where a sprite's pixels land: the part of its source to copy and the destination point.
struct BlitPlan {
    plat::TRect Source;
    int32_t DestX = 0;
    int32_t DestY = 0;
};

// Clips a W x H source placed at (X, Y) on a ScreenWidth x ScreenHeight screen. False when
// nothing is drawn.
bool ClipToScreen(int32_t X, int32_t Y, int32_t Width, int32_t Height, int32_t ScreenWidth, int32_t ScreenHeight,
                  BlitPlan& Plan);

}  // namespace sprites
