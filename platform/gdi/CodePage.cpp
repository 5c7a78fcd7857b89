// Decoding of system-code-page text; see CodePage.h.
#include "platform/gdi/CodePage.h"

namespace plat {
namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 controls of the same value,
// as the system's own conversion does.
constexpr uint16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool Continuation(uint8_t B, uint8_t Low = 0x80, uint8_t High = 0xBF)
{
    return B >= Low && B <= High;
}

// Length of the well-formed UTF-8 sequence at Text[0..Available), or 0 when there is none.
int SequenceLength(const uint8_t* Text, int Available)
{
    const uint8_t lead = Text[0];
    int length = 0;
    uint8_t low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    }
    if (length == 0 || Available < length || !Continuation(Text[1], low, high))
        return 0;
    for (int i = 2; i < length; ++i)
        if (!Continuation(Text[i]))
            return 0;
    return length;
}

}  // namespace

uint32_t Windows1252Character(uint8_t Byte)
{
    return Byte >= 0x80 && Byte <= 0x9F ? kHighControls[Byte - 0x80] : Byte;
}

uint32_t NextCharacter(const char* Text, int Count, int& Pos)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(Text) + Pos;
    if (bytes[0] < 0x80) {
        ++Pos;
        return bytes[0];
    }
    const int length = SequenceLength(bytes, Count - Pos);
    if (length == 0) {
        ++Pos;
        return Windows1252Character(bytes[0]);
    }
    uint32_t c = bytes[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i)
        c = (c << 6) | (bytes[i] & 0x3F);
    Pos += length;
    return c;
}

}  // namespace plat
