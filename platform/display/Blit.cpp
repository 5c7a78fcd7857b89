// Row loops for fills and fast blits. Unkeyed rows are whole-row memory moves; keyed rows are
// written as a select (keep the destination where the source equals the key), a form compilers
// turn into vector compares and blends. Overlapping blits within one surface run in the order
// that reads every source pixel before it is overwritten.
#include "platform/display/Blit.h"

#include <cstring>

namespace plat::blit {
namespace {

// Eight pixels as 16-bit words, for the gamma pass.
typedef uint16_t Words16 __attribute__((vector_size(32)));

bool Overlap(const uint32_t* Dest, const uint32_t* Source, int Pitch, int Width, int Height)
{
    const intptr_t span = static_cast<intptr_t>(Pitch) * (Height - 1) + Width;
    return Dest < Source + span && Source < Dest + span;
}

void KeyedRow(uint32_t* __restrict Dest, const uint32_t* __restrict Source, int Width, uint32_t Key)
{
    for (int x = 0; x < Width; ++x) {
        const uint32_t pixel = Source[x];
        Dest[x] = pixel != Key ? pixel : Dest[x];
    }
}

// A keyed row that may overlap its source: pixel by pixel in the safe direction.
void KeyedRowOverlapping(uint32_t* Dest, const uint32_t* Source, int Width, uint32_t Key)
{
    if (Dest <= Source) {
        for (int x = 0; x < Width; ++x)
            if (Source[x] != Key)
                Dest[x] = Source[x];
    } else {
        for (int x = Width - 1; x >= 0; --x)
            if (Source[x] != Key)
                Dest[x] = Source[x];
    }
}

}  // namespace

void Fill(uint32_t* Dest, int DestPitch, int Width, int Height, uint32_t Value)
{
    for (int y = 0; y < Height; ++y) {
        uint32_t* row = Dest + static_cast<intptr_t>(y) * DestPitch;
        if (Value == 0)
            std::memset(row, 0, static_cast<size_t>(Width) * 4);
        else
            for (int x = 0; x < Width; ++x)
                row[x] = Value;
    }
}

void Copy(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width, int Height)
{
    const size_t bytes = static_cast<size_t>(Width) * 4;
    // Bottom-up when the destination lies below an overlapping source.
    const bool upward = Dest > Source && DestPitch == SourcePitch && Overlap(Dest, Source, DestPitch, Width, Height);
    for (int i = 0; i < Height; ++i) {
        const int y = upward ? Height - 1 - i : i;
        std::memmove(Dest + static_cast<intptr_t>(y) * DestPitch, Source + static_cast<intptr_t>(y) * SourcePitch,
                     bytes);
    }
}

void CopyKeyed(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width, int Height,
               uint32_t Key)
{
    const bool overlapping = DestPitch == SourcePitch && Overlap(Dest, Source, DestPitch, Width, Height);
    if (!overlapping) {
        for (int y = 0; y < Height; ++y)
            KeyedRow(Dest + static_cast<intptr_t>(y) * DestPitch, Source + static_cast<intptr_t>(y) * SourcePitch,
                     Width, Key);
        return;
    }
    const bool upward = Dest > Source;
    for (int i = 0; i < Height; ++i) {
        const int y = upward ? Height - 1 - i : i;
        KeyedRowOverlapping(Dest + static_cast<intptr_t>(y) * DestPitch,
                            Source + static_cast<intptr_t>(y) * SourcePitch, Width, Key);
    }
}

namespace {

// Eight pixels at a time as sixteen 16-bit words: green and blue in the even words, filler and
// red in the odd ones. Each byte of a word is multiplied by its own channel's slope; a channel
// times a slope of at most 257 stays below 65536, so every step is one vector operation on whole
// words, with no shuffling.
[[gnu::always_inline]] inline void ScaleWords(uint32_t* Dest, const uint32_t* Source, size_t Count,
                                              const uint32_t Slopes[3])
{
    const uint16_t blue = static_cast<uint16_t>(Slopes[2]), green = static_cast<uint16_t>(Slopes[1]),
                   red = static_cast<uint16_t>(Slopes[0]);
    const Words16 low = {blue, red, blue, red, blue, red, blue, red, blue, red, blue, red, blue, red, blue, red};
    const Words16 high = {green, 0, green, 0, green, 0, green, 0, green, 0, green, 0, green, 0, green, 0};
    size_t i = 0;
    for (; i + 8 <= Count; i += 8) {
        Words16 words;
        std::memcpy(&words, Source + i, sizeof words);
        words = ((words & 0xFF) * low >> 8) | ((words >> 8) * high & 0xFF00);
        std::memcpy(Dest + i, &words, sizeof words);
    }
    for (; i < Count; ++i) {
        const uint32_t p = Source[i];
        Dest[i] = ((((p >> 16) & 0xFF) * red >> 8) << 16) | ((((p >> 8) & 0xFF) * green >> 8) << 8) |
            ((p & 0xFF) * blue >> 8);
    }
}

// The same in 32-byte vectors. Chosen at each call rather than through an ifunc resolver, which
// runs before the sanitizers' run-times are up.
[[gnu::target("avx2")]] void ScaleWordsAvx2(uint32_t* Dest, const uint32_t* Source, size_t Count,
                                            const uint32_t Slopes[3])
{
    ScaleWords(Dest, Source, Count, Slopes);
}

}  // namespace

void ScaleChannels(uint32_t* Dest, const uint32_t* Source, size_t Count, const uint32_t Slopes[3])
{
    if (__builtin_cpu_supports("avx2"))
        ScaleWordsAvx2(Dest, Source, Count, Slopes);
    else
        ScaleWords(Dest, Source, Count, Slopes);
}

void MapChannels(uint32_t* Dest, const uint32_t* Source, size_t Count, const uint8_t Tables[3][256])
{
    for (size_t i = 0; i < Count; ++i) {
        const uint32_t p = Source[i];
        Dest[i] = (static_cast<uint32_t>(Tables[0][(p >> 16) & 0xFF]) << 16) |
            (static_cast<uint32_t>(Tables[1][(p >> 8) & 0xFF]) << 8) | Tables[2][p & 0xFF];
    }
}

}  // namespace plat::blit
