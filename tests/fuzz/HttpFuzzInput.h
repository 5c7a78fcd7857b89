// Turns a fuzzer's bytes into a server reply that arrives in pieces: the first byte picks the
// piece size, the rest is the reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::string> ReplyPieces(const uint8_t* Data, size_t Size)
{
    std::vector<std::string> pieces;
    if (Size == 0)
        return pieces;
    const size_t pieceSize = 1 + Data[0] % 97;
    for (size_t at = 1; at < Size; at += pieceSize)
        pieces.emplace_back(reinterpret_cast<const char*>(Data + at), std::min(pieceSize, Size - at));
    return pieces;
}
