// Where a frame of the design's size goes in a window of another size, and the layers shown with
// it: the surround, which fills the window around the frame so that no bar stays black and which
// each frame carries, and the overlay, the frame's bottom rows drawn again at the window's own
// resolution when the frame is shown.
//
// Without a surround the frame is fitted as it always was: the largest rectangle of its aspect,
// centred, black bars. With one, the frame keeps its aspect and the window is covered edge to
// edge: in a window wider than the frame's aspect the frame fills the height, centred, and the
// surround fills the columns on both sides; in a narrower one the frame fills the width at the
// window's bottom and the surround fills the rows above it, so that what lies along the frame's
// bottom stays along the window's. The surround is counted in the frame's own pixels (it is
// scaled with the frame); the overlay in window pixels, across the whole width the frame and its
// surround cover.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types/Geometry.h"

namespace plat {

struct FrameLayout {
    int Width = 0;  // the frame, in its own pixels
    int Height = 0;
    int OutputWidth = 0;  // the window
    int OutputHeight = 0;
    TRect Picture{};  // where the frame lies in the window
    int Left = 0;  // surround columns left of the frame, in frame pixels
    int Right = 0;  // right of it
    int Top = 0;  // surround rows above it
    int OverlayRows = 0;  // the frame's bottom rows the overlay covers
    TRect Overlay{};  // the overlay in the window; empty without one

    bool HasSurround() const { return Left + Right + Top > 0; }
    int CanvasWidth() const { return Left + Width + Right; }
    int CanvasHeight() const { return Top + Height; }
    // Window pixels per frame pixel.
    double Scale() const { return Width > 0 ? static_cast<double>(Picture.Width()) / Width : 1.0; }
    // The pixels the surround of one frame takes.
    size_t LayerPixels() const;
};

// The layout of a Width x Height frame in an OutputWidth x OutputHeight window; an empty picture
// when a size is not positive. OverlayRows is clamped to the frame's height.
FrameLayout LayOutFrame(int Width, int Height, int OutputWidth, int OutputHeight, bool Surround, int OverlayRows);

// The surround's pixels of one frame, in frame pixels, rows as wide as each part (Left x Height,
// Right x Height, Width x Top). A part the layout does not have is null.
struct FramePlanes {
    uint32_t* Left = nullptr;
    uint32_t* Right = nullptr;
    uint32_t* Top = nullptr;
};

// The parts within LayerPixels() pixels starting at Base (null gives no parts).
FramePlanes PlanesAt(uint32_t* Base, const FrameLayout& Layout);

}  // namespace plat
