// Microsoft ADPCM: each block starts with a predictor index, a step (delta) and two history
// samples per channel; then 4-bit codes follow, high nibble first, channels interleaved.
#include "tests/assets/MsAdpcm.h"

#include <algorithm>

namespace assettest {
namespace {

constexpr int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};
constexpr int kCoef1[7] = {256, 512, 0, 192, 240, 460, 392};
constexpr int kCoef2[7] = {0, -256, 0, 64, 0, -208, -232};

struct ChannelState {
    int Predictor = 0;
    int Delta = 0;
    int Sample1 = 0;  // most recent
    int Sample2 = 0;
};

int16_t Read16(const uint8_t* P)
{
    return static_cast<int16_t>(P[0] | (P[1] << 8));
}

int16_t Expand(ChannelState& S, int Nibble)
{
    int Signed = Nibble >= 8 ? Nibble - 16 : Nibble;
    // Floor, not truncation: the encoder predicts with an arithmetic shift.
    int Predicted = (S.Sample1 * kCoef1[S.Predictor] + S.Sample2 * kCoef2[S.Predictor]) >> 8;
    int Sample = std::clamp(Predicted + Signed * S.Delta, -32768, 32767);
    S.Sample2 = S.Sample1;
    S.Sample1 = Sample;
    S.Delta = std::max(16, kAdaptation[Nibble] * S.Delta / 256);
    return static_cast<int16_t>(Sample);
}

bool DecodeBlock(const uint8_t* Block, const AdpcmFormat& F, std::vector<int16_t>& Out)
{
    const int C = F.Channels;
    ChannelState State[2];
    for (int Ch = 0; Ch < C; ++Ch) {
        State[Ch].Predictor = Block[Ch];
        if (State[Ch].Predictor > 6)
            return false;
        State[Ch].Delta = Read16(Block + C + 2 * Ch);
        State[Ch].Sample1 = Read16(Block + 3 * C + 2 * Ch);
        State[Ch].Sample2 = Read16(Block + 5 * C + 2 * Ch);
    }
    // The two header samples come out oldest first.
    for (int Ch = 0; Ch < C; ++Ch)
        Out.push_back(static_cast<int16_t>(State[Ch].Sample2));
    for (int Ch = 0; Ch < C; ++Ch)
        Out.push_back(static_cast<int16_t>(State[Ch].Sample1));
    const uint8_t* Codes = Block + 7 * C;
    const int CodeCount = (F.SamplesPerBlock - 2) * C;
    for (int I = 0; I < CodeCount; ++I) {
        uint8_t Byte = Codes[I / 2];
        int Nibble = (I % 2 == 0) ? (Byte >> 4) : (Byte & 0x0F);
        Out.push_back(Expand(State[I % C], Nibble));
    }
    return true;
}

}  // namespace

std::vector<int16_t> DecodeMsAdpcm(std::span<const uint8_t> Data, const AdpcmFormat& F)
{
    std::vector<int16_t> Out;
    const size_t Needed = 7u * F.Channels + (F.SamplesPerBlock - 2) * F.Channels / 2;
    if (F.Channels < 1 || F.Channels > 2 || F.BlockAlign <= 0 || Needed > size_t(F.BlockAlign)) {
        return {};
    }
    for (size_t At = 0; At + F.BlockAlign <= Data.size(); At += F.BlockAlign) {
        if (!DecodeBlock(Data.data() + At, F, Out))
            return {};
    }
    return Out;
}

}  // namespace assettest
