// The music track "SoundName": a RIFF/WAVE file of Microsoft ADPCM with exactly the header the
// sound player is handed, and a loop that joins without a click.
#include "assets/Resources.h"
#include "tests/assets/ByteReader.h"
#include "tests/assets/MsAdpcm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using namespace assettest;

struct Chunk {
    size_t Offset = 0;  // of the chunk's body
    uint32_t Size = 0;
};

std::optional<Chunk> FindChunk(Bytes B, const char* Id)
{
    for (size_t At = 12; At + 8 <= B.size(); At += 8 + ((Le32(B, At + 4) + 1) & ~1u)) {
        if (std::equal(Id, Id + 4, B.begin() + At))
            return Chunk{At + 8, Le32(B, At + 4)};
    }
    return std::nullopt;
}

class MusicLoop : public testing::Test {
protected:
    Bytes Track = assets::FindResource("SoundName");
};

TEST_F(MusicLoop, HeaderIsStereoAdpcmAtElevenKilohertz)
{
    ASSERT_EQ(Track.size(), 361050u);
    EXPECT_EQ(std::string(Track.begin(), Track.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(Track, 4), 361050u - 8);
    EXPECT_EQ(std::string(Track.begin() + 8, Track.begin() + 12), "WAVE");
    auto Fmt = FindChunk(Track, "fmt ");
    ASSERT_TRUE(Fmt);
    const size_t F = Fmt->Offset;
    EXPECT_EQ(Le16(Track, F), 2u) << "format tag";
    EXPECT_EQ(Le16(Track, F + 2), 2u) << "channels";
    EXPECT_EQ(Le32(Track, F + 4), 11025u) << "samples per second";
    EXPECT_EQ(Le32(Track, F + 8), 11289u) << "average bytes per second";
    EXPECT_EQ(Le16(Track, F + 12), 512u) << "block align";
    EXPECT_EQ(Le16(Track, F + 14), 4u) << "bits per sample";
    EXPECT_EQ(Le16(Track, F + 18), 500u) << "samples per block";
    auto Data = FindChunk(Track, "data");
    ASSERT_TRUE(Data);
    EXPECT_EQ(Data->Size, 360960u);
    EXPECT_EQ(Data->Offset + Data->Size, Track.size());
}

TEST_F(MusicLoop, LoopPointIsNoLouderThanTheMusicItself)
{
    auto Data = FindChunk(Track, "data");
    ASSERT_TRUE(Data);
    auto Pcm = assettest::DecodeMsAdpcm(Track.subspan(Data->Offset, Data->Size), {2, 512, 500});
    ASSERT_EQ(Pcm.size(), 705u * 500u * 2u);
    for (int Ch = 0; Ch < 2; ++Ch) {
        std::vector<int> Steps;
        for (size_t I = Ch + 2; I < Pcm.size(); I += 2)
            Steps.push_back(std::abs(Pcm[I] - Pcm[I - 2]));
        std::nth_element(Steps.begin(), Steps.begin() + Steps.size() * 99 / 100, Steps.end());
        const int Typical = Steps[Steps.size() * 99 / 100];
        const int Join = std::abs(Pcm[Ch] - Pcm[Pcm.size() - 2 + Ch]);
        EXPECT_LE(Join, Typical) << "channel " << Ch << ": the loop jumps by " << Join;
        EXPECT_GT(Typical, 200) << "channel " << Ch << " is nearly silent";
    }
}

TEST(MsAdpcmDecoder, RejectsBadPredictorAndShortFormat)
{
    std::vector<uint8_t> Block(512, 0);
    Block[0] = 7;  // predictor indices run 0..6
    EXPECT_TRUE(assettest::DecodeMsAdpcm(Block, {2, 512, 500}).empty());
    EXPECT_TRUE(assettest::DecodeMsAdpcm(Block, {2, 16, 500}).empty());
    Block[0] = 0;
    EXPECT_EQ(assettest::DecodeMsAdpcm(Block, {2, 512, 500}).size(), 1000u);
}

}  // namespace
