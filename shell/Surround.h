// The surround of the scene: the coast beyond the 4:3 frame, which fills a monitor of another
// shape edge to edge (the layers of plat::FrameLayout). The pictures are the generator's renderings
// of the same world, wider and taller (assets/generators/scene_surround.py), so they continue the
// frame's own picture; the water moves where the frame's moves, in strips with the frame's strips'
// frame counts, driven by the same counters, and the flyers fly on beyond the frame's edges.
//
// Set-up (Build, main thread, once the layers are set) decodes only the pieces of the built-in
// pictures the monitor's aspect needs and cuts them to its width: the still sides (the design's full height),
// the near sea and beach on both sides, the middle water on the right, the horizon's mist on the
// left, or the sky above for a monitor narrower than 4:3. Columns (or rows) beyond the widest
// picture repeat its outermost one. Each frame (Draw, frame thread) copies the still parts, the
// strips' current frames and the flyers' parts beyond the frame into the frame's layers; it
// allocates nothing.
#pragma once

#include "platform/display/FrameLayout.h"
#include "platform/image/Picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace layout {
struct TStrip;
}

class TKMV;

class TSurround {
public:
    // The parts for Layout (none when it has no surround). A picture that cannot be decoded
    // leaves its part out and says why in Error().
    void Build(const plat::FrameLayout& Layout);
    // The frame's surround: parts first, then the flyers (in the order given) where they reach
    // beyond the frame. Rows the overlay covers are left alone.
    void Draw(const plat::FramePlanes& Planes, int32_t ShortCycleFrame, int32_t LongCycleFrame,
              std::span<TKMV* const> Flyers) const;

    // How many pixels the parts hold, and the decoding errors of Build (empty when none).
    size_t PartPixels() const;
    const std::string& Error() const { return FError; }

    enum class ESide { Left, Right, Top };
    enum class ECounter { Still, Short, Long };

private:
    struct TPart {
        plat::Picture Picture;  // one frame, or frames stacked top to bottom
        int32_t FrameHeight;
        ECounter Counter;
        ESide Side;
        int32_t Column;  // where the part's first column and row go in its side's layer
        int32_t Row;
    };
    void Add(const char* Name, int Pieces, ESide Side, int32_t Reach, int32_t FrameHeight, ECounter Counter,
             int32_t Row);
    // A part that continues one of the frame's strips, with its frame height, row and counter.
    void Add(const char* Name, int Pieces, ESide Side, int32_t Reach, const layout::TStrip& Strip);

    plat::FrameLayout FLayout;
    std::vector<TPart> FParts;
    std::string FError;
};
