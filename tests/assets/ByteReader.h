// Little- and big-endian fields of the built-in resources' bytes, as the asset tests read them.
// At + 2 (or + 4) must lie within the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace assettest {

using Bytes = std::span<const uint8_t>;

inline uint32_t Le16(Bytes B, size_t At)
{
    return B[At] | (B[At + 1] << 8);
}

inline uint32_t Le32(Bytes B, size_t At)
{
    return Le16(B, At) | (Le16(B, At + 2) << 16);
}

inline uint32_t Be16(Bytes B, size_t At)
{
    return (B[At] << 8) | B[At + 1];
}

}  // namespace assettest
