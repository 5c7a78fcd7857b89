// The frame and its surround scaled smoothly into a window-sized buffer, for a screen that draws
// without a GPU: the canvas (the frame with its surround, FrameLayout) covers the window's rows
// above the overlay, which the screen paints itself.
//
// Only what changed is drawn again. Each canvas row is compared with the one the last frame had,
// and only the window's rows that take from a changed row are scaled again; the rest of the
// buffer keeps what it holds, so the caller must hand the same buffer every time (or Reset). Most
// of the saver's picture stands still (the sky, the headlands, the still water): a frame costs
// about what its moving rows cover. Scaling is bilinear and separable: a changed canvas row is
// scaled across once into a row of the window's width, kept, and each window row blends the two
// kept rows around it.
//
// As on the screen with bars, the frame's last column and (without an overlay) last row, which
// the design's sprites never draw, show their neighbours' pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display/FrameLayout.h"

namespace plat {

class LayerCompositor {
public:
    // The layout the canvas follows, into a buffer of Layout.OutputWidth x Overlay.Top rows (all
    // OutputHeight rows without an overlay); the next Compose draws everything.
    void Reset(const FrameLayout& Layout);
    // The next Compose draws everything (the buffer's contents were lost).
    void Invalidate() { FAll = true; }

    // The window rows [First, Last) that Compose drew; empty when nothing changed.
    struct Rows {
        int First = 0;
        int Last = 0;
    };
    // The frame (Layout.Width x Height) and its surround into Out, rows Stride pixels apart.
    Rows Compose(const uint32_t* Frame, const FramePlanes& Planes, uint32_t* Out, int Stride);

    // The window rows the canvas covers.
    int OutRows() const { return FOutRows; }

private:
    // An output pixel (or row) between two source ones: Weight of Next, out of 256.
    struct Tap {
        int From;
        int Next;
        uint32_t Weight;
    };
    static std::vector<Tap> Taps(int Count, double Origin, double Scale, int SourceCount);
    // Canvas row Row of this frame into the canvas; true when it differs from the last frame's.
    bool TakeRow(int Row, const uint32_t* Frame, const FramePlanes& Planes);
    void ScaleAcross(const uint32_t* Source, uint32_t* Out);

    FrameLayout FLayout;
    int FCanvasWidth = 0, FCanvasRows = 0, FOutWidth = 0, FOutRows = 0;
    std::vector<Tap> FColumns, FRows;
    std::vector<uint16_t> FColumnWeights;  // each column's, for each of its bytes
    std::vector<uint32_t> FFrom, FNext;  // a row's source pixels of each column
    std::vector<uint32_t> FCanvas;  // the last frame's canvas rows
    std::vector<uint32_t> FAcross;  // each canvas row scaled across
    std::vector<uint32_t> FZeros;  // a missing part of the surround
    std::vector<uint8_t> FChanged;  // per canvas row, this frame
    bool FAll = true;
};

}  // namespace plat
