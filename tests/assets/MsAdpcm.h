// A small decoder of Microsoft ADPCM (RIFF/WAVE format tag 2) used by the asset tests to hear
// what the saver's music track would play, in particular across the loop point.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace assettest {

struct AdpcmFormat {
    int Channels = 0;
    int BlockAlign = 0;
    int SamplesPerBlock = 0;
};

// Decodes whole blocks of `Data`; returns interleaved 16-bit samples, or an empty vector when a
// block is malformed (bad predictor index or a short block).
std::vector<int16_t> DecodeMsAdpcm(std::span<const uint8_t> Data, const AdpcmFormat& Format);

}  // namespace assettest
