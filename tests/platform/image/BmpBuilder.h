// Builds Windows bitmap files byte by byte, so that the bitmap tests control every field and
// every run of the run-length encoding.
#pragma once

#include <cstdint>
#include <vector>

namespace bmptest {

inline void PutLittle(std::vector<uint8_t>& Out, uint32_t Value, int Size)
{
    for (int i = 0; i < Size; ++i)
        Out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
}

// A file header and a 40-byte information header, then the palette (0x00RRGGBB entries) and the
// pixel data as given. Compression 0 is plain rows, 1 is run-length encoded 8-bit.
inline std::vector<uint8_t> MakeBmp(int32_t Width, int32_t Height, int Bits, int Compression,
                                    const std::vector<uint32_t>& Palette, const std::vector<uint8_t>& Data)
{
    std::vector<uint8_t> Out{'B', 'M'};
    const uint32_t Offset = 14 + 40 + 4 * static_cast<uint32_t>(Palette.size());
    PutLittle(Out, Offset + static_cast<uint32_t>(Data.size()), 4);
    PutLittle(Out, 0, 4);
    PutLittle(Out, Offset, 4);
    PutLittle(Out, 40, 4);
    PutLittle(Out, static_cast<uint32_t>(Width), 4);
    PutLittle(Out, static_cast<uint32_t>(Height), 4);
    PutLittle(Out, 1, 2);
    PutLittle(Out, static_cast<uint32_t>(Bits), 2);
    PutLittle(Out, static_cast<uint32_t>(Compression), 4);
    PutLittle(Out, static_cast<uint32_t>(Data.size()), 4);
    PutLittle(Out, 2835, 4);
    PutLittle(Out, 2835, 4);
    PutLittle(Out, static_cast<uint32_t>(Palette.size()), 4);
    PutLittle(Out, 0, 4);
    for (uint32_t Colour : Palette)
        PutLittle(Out, Colour, 4);
    Out.insert(Out.end(), Data.begin(), Data.end());
    return Out;
}

}  // namespace bmptest
