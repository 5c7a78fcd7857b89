// The still art of the gadget band, drawn at the band's own resolution: the gold hairline along its
// top, the gadgets' frames (a gold line with rounded corners), the icons' tiles, the spaced small
// capitals of the labels and the diamond beside "NEWS". Coordinates are the design's pixels (the
// band is layout::kBandRows of them high), times Scale; every edge is anti-aliased by its coverage of the pixel,
// so nothing turns blocky or ragged at any scale. Set-up work, on pictures the band keeps.
#pragma once

#include "platform/image/Picture.h"
#include "platform/types/Geometry.h"

#include <cstdint>

namespace plat {
class DrawContext;
class FontCache;
}  // namespace plat

namespace bandart {

// Colours, 0x00RRGGBB.
constexpr uint32_t kDeep = 0x0E0D1A;  // the band's deepest colour
constexpr uint32_t kGoldTop = 0xE8CC92;  // the frames' gold, lit from above
constexpr uint32_t kGoldBottom = 0x806C4C;
constexpr uint32_t kLabel = 0xD6BE8E;
constexpr uint32_t kTileTrim = 0x96825E;

struct TPlate {
    double Left, Right;  // design pixels within the band
    double Inset;  // the frame's left side this far in
    bool Closed;  // the frame closes on the right (the band's rightmost gadget)
};

// The hairline: a gold line along the band's top that fades out toward both ends, between two
// dark ones.
void Hairline(plat::Picture& Band, double Scale);
// A gadget's frame; an open one runs on past the plate's right edge, where the next gadget's
// rounded left side closes it.
void Frame(plat::Picture& Band, const TPlate& Plate, double Scale);
// The thin frame just outside an icon's square (window pixels of the band).
void Tile(plat::Picture& Band, const plat::TRect& Icon, double Scale);
// Spaced capitals with their baseline at design row Baseline, starting at X (centred on X when
// Centre); returns where they end, in design pixels.
double Label(plat::FontCache& Fonts, plat::DrawContext& Dc, const char* Text, double X, double Scale,
             bool Centre = false);
// The small diamond that separates "NEWS" from the channel title.
void Diamond(plat::Picture& Band, double X, double Y, double Radius, double Scale);

}  // namespace bandart
