// Internal to the display layer: the row loops behind fills and fast blits. The caller has
// clipped and validated the rectangles; these only run the rows. Pitches are in pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::blit {

void Fill(uint32_t* Dest, int DestPitch, int Width, int Height, uint32_t Value);
// Source and destination may overlap (a blit within one surface).
void Copy(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width, int Height);
// Source pixels equal to Key are skipped.
void CopyKeyed(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width, int Height,
               uint32_t Key);

// The gamma pass. Linear ramps: every channel becomes Channel x Slope >> 8 (slopes 0..257, red,
// green, blue), which vectorises. Any other ramp: each channel is looked up in its table.
void ScaleChannels(uint32_t* Dest, const uint32_t* Source, size_t Count, const uint32_t Slopes[3]);
void MapChannels(uint32_t* Dest, const uint32_t* Source, size_t Count, const uint8_t Tables[3][256]);

}  // namespace plat::blit
