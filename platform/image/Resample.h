// Smooth scaling of pictures, for what is drawn at a window's own resolution from pictures made
// at another: each target pixel is the weighted mean of the source pixels it covers (a tent as
// wide as a source pixel when enlarging and as wide as a target pixel when shrinking), so edges
// stay clean at any factor instead of turning blocky (enlarging) or ragged (shrinking). Set-up
// work: it allocates.
#pragma once

#include "platform/image/Picture.h"
#include "platform/types/Geometry.h"

namespace plat {

// SourceRect of Source (clamped to it) scaled to Width x Height; empty when either is empty.
// Outside SourceRect the edge pixels repeat, as if the part were all there is.
Picture Resample(const Picture& Source, const TRect& SourceRect, int Width, int Height);

}  // namespace plat
