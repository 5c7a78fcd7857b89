// Internal to the display layer: the row loops behind fills and fast blits. The caller has
// clipped and validated the rectangles; these only run the rows. Pitches are in pixels.
#pragma once

#include <cstdint>

namespace plat::blit {

void Fill(uint32_t* Dest, int DestPitch, int Width, int Height, uint32_t Value);
// Source and destination may overlap (a blit within one surface).
void Copy(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width, int Height);
// Source pixels equal to Key are skipped.
void CopyKeyed(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width,
               int Height, uint32_t Key);

}  // namespace plat::blit
