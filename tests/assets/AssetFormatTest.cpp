// The built-in pictures and the music track, read back from the executable through
// assets::FindResource: each has the format, size, depth and frame layout its user expects, the
// run-length streams stay inside their pictures, key colours sit where the controls look for
// them, and the music loop joins without a click.
#include "assets/Resources.h"
#include "tests/assets/ByteReader.h"
#include "tests/assets/MsAdpcm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using namespace assettest;

struct Bmp {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    uint32_t Compression = 0;
    uint32_t Colours = 0;
    uint32_t PixelOffset = 0;
    uint32_t ImageSize = 0;
    std::array<uint8_t, 3> Palette(Bytes B, int Index) const
    {
        size_t At = 14 + 40 + 4 * size_t(Index);
        return {B[At + 2], B[At + 1], B[At]};
    }
};

Bmp ReadBmp(Bytes B)
{
    Bmp Info;
    EXPECT_GE(B.size(), 54u);
    if (B.size() < 54)
        return Info;
    EXPECT_EQ(B[0], 'B');
    EXPECT_EQ(B[1], 'M');
    EXPECT_EQ(Le32(B, 2), B.size()) << "file size field";
    EXPECT_EQ(Le32(B, 14), 40u) << "info header size";
    EXPECT_EQ(Le16(B, 26), 1u) << "planes";
    Info.PixelOffset = Le32(B, 10);
    Info.Width = int(Le32(B, 18));
    Info.Height = int(Le32(B, 22));
    Info.BitCount = int(Le16(B, 28));
    Info.Compression = Le32(B, 30);
    Info.ImageSize = Le32(B, 34);
    Info.Colours = Le32(B, 46);
    return Info;
}

// Expands an 8-bit bitmap (plain or BI_RLE8) to top-down palette indices. Fails the test and
// returns nothing when a run leaves the picture or the stream ends early.
std::optional<std::vector<uint8_t>> Indices8(Bytes B, const Bmp& Info)
{
    const int W = Info.Width, H = Info.Height;
    std::vector<uint8_t> Out(size_t(W) * H, 0);
    Bytes Data = B.subspan(Info.PixelOffset);
    if (Info.Compression == 0) {
        const size_t Stride = (size_t(W) + 3) & ~size_t(3);
        if (Data.size() < Stride * H)
            return std::nullopt;
        for (int Y = 0; Y < H; ++Y)
            std::copy_n(Data.begin() + Stride * (H - 1 - Y), W, Out.begin() + size_t(Y) * W);
        return Out;
    }
    int X = 0, Row = 0;  // Row counts from the bottom
    for (size_t At = 0; At + 1 < Data.size();) {
        uint8_t Count = Data[At], Value = Data[At + 1];
        At += 2;
        if (Count > 0) {
            if (X + Count > W || Row >= H)
                return std::nullopt;
            std::fill_n(Out.begin() + size_t(H - 1 - Row) * W + X, Count, Value);
            X += Count;
        } else if (Value == 0) {
            X = 0, ++Row;
        } else if (Value == 1) {
            return Row == H || (Row == H - 1 && X == W) ? std::optional(Out) : std::nullopt;
        } else if (Value == 2) {
            return std::nullopt;  // deltas are not written by our encoder
        } else {
            if (X + Value > W || Row >= H || At + Value > Data.size())
                return std::nullopt;
            std::copy_n(Data.begin() + At, Value, Out.begin() + size_t(H - 1 - Row) * W + X);
            X += Value;
            At += (Value + 1) & ~1;
        }
    }
    return std::nullopt;
}

Bytes Resource(const char* Name)
{
    Bytes B = assets::FindResource(Name);
    EXPECT_FALSE(B.empty()) << Name << " is not built in";
    return B;
}

TEST(AssetFormat, WeatherIconsAreFortyNineRunLengthFrames)
{
    Bytes B = Resource("KMV3Weather");
    if (B.empty())
        return;
    Bmp Info = ReadBmp(B);
    EXPECT_EQ(Info.Width, 52);
    EXPECT_EQ(Info.Height, 2548);
    EXPECT_EQ(Info.Height / 52, 49);
    EXPECT_EQ(Info.BitCount, 8);
    EXPECT_EQ(Info.Compression, 1u) << "BI_RLE8";
    EXPECT_EQ(Info.ImageSize, B.size() - Info.PixelOffset);
    auto Pixels = Indices8(B, Info);
    ASSERT_TRUE(Pixels) << "the run-length stream does not fill the picture exactly";
    for (uint8_t V : *Pixels)
        ASSERT_LT(V, Info.Colours);
    // Every condition has its own picture, except the codes the feed gives the same meaning.
    const std::vector<std::pair<int, int>> Same = {{11, 12}, {38, 39}, {41, 43}, {30, 44}};
    auto Frame = [&](int K) {
        return std::vector<uint8_t>(Pixels->begin() + size_t(K) * 52 * 52, Pixels->begin() + size_t(K + 1) * 52 * 52);
    };
    for (int A = 0; A < 49; ++A) {
        for (int C = A + 1; C < 49; ++C) {
            bool Twin = std::find(Same.begin(), Same.end(), std::pair(A, C)) != Same.end();
            EXPECT_EQ(Frame(A) == Frame(C), Twin) << "frames " << A << " and " << C;
        }
    }
}

TEST(AssetFormat, DialogDecorIsKeyedByItsTopLeftPixel)
{
    Bytes B = Resource("DialogDecor");
    if (B.empty())
        return;
    Bmp Info = ReadBmp(B);
    EXPECT_EQ(Info.Width, 183);
    EXPECT_EQ(Info.Height, 134);
    EXPECT_EQ(Info.BitCount, 8);
    auto Pixels = Indices8(B, Info);
    ASSERT_TRUE(Pixels);
    const uint8_t Key = (*Pixels)[0];
    auto Drawn = std::count_if(Pixels->begin(), Pixels->end(), [&](uint8_t V) { return V != Key; });
    EXPECT_GT(Drawn, 183 * 134 / 5) << "the emblem should cover a good part of its box";
    EXPECT_LT(Drawn, 183 * 134) << "something must be see-through";
}

struct TrueColour {
    const char* Name;
    int Width;
    int Height;
};

TEST(AssetFormat, DialogControlPicturesAreTrueColour)
{
    const TrueColour Pictures[] = {{"SliderTrack", 199, 24}, {"SliderKnob", 34, 16},  {"BtnOkUp", 76, 26},
                                   {"BtnOkDown", 76, 26},    {"BtnCancelUp", 76, 26}, {"BtnCancelDown", 76, 26}};
    for (const auto& P : Pictures) {
        Bytes B = Resource(P.Name);
        if (B.empty())
            continue;
        Bmp Info = ReadBmp(B);
        EXPECT_EQ(Info.Width, P.Width) << P.Name;
        EXPECT_EQ(Info.Height, P.Height) << P.Name;
        EXPECT_EQ(Info.BitCount, 24) << P.Name;
        EXPECT_EQ(Info.Compression, 0u) << P.Name;
        const size_t Stride = (size_t(P.Width) * 3 + 3) & ~size_t(3);
        EXPECT_EQ(B.size(), Info.PixelOffset + Stride * P.Height) << P.Name;
    }
    // Pressed and released must look different, or a click gives no feedback.
    auto Up = assets::FindResource("BtnOkUp"), Down = assets::FindResource("BtnOkDown");
    ASSERT_EQ(Up.size(), Down.size());
    EXPECT_FALSE(std::equal(Up.begin(), Up.end(), Down.begin()));
}

TEST(AssetFormat, SliderKnobKeyColourIsOnlyOutsideTheKnob)
{
    Bytes B = Resource("SliderKnob");
    if (B.empty())
        return;
    Bmp Info = ReadBmp(B);
    // Rows are stored bottom-up: the bottom-left pixel comes first.
    const uint8_t* Key = &B[Info.PixelOffset];
    const size_t Stride = (34 * 3 + 3) & ~3;
    auto IsKey = [&](int X, int Y) {
        const uint8_t* P = &B[Info.PixelOffset + Stride * (15 - Y) + 3 * X];
        return std::equal(P, P + 3, Key);
    };
    EXPECT_TRUE(IsKey(0, 0));
    EXPECT_TRUE(IsKey(33, 15));
    for (int Y = 3; Y < 13; ++Y)
        for (int X = 3; X < 31; ++X)
            EXPECT_FALSE(IsKey(X, Y)) << X << "," << Y;
}

// The glass is a 24-bit bitmap: a palette of 256 colours would band or dither its soft gradients.
TEST(AssetFormat, GadgetPanelsAreOfTheirPlaces)
{
    Bytes Glass = Resource("KIM2GadgetPanel");
    if (!Glass.empty()) {
        Bmp Info = ReadBmp(Glass);
        EXPECT_EQ(Info.Width, 1024);
        EXPECT_EQ(Info.Height, 70);
        EXPECT_EQ(Info.BitCount, 24);
    }
    const TrueColour Panels[] = {
        {"KIM2GadgetSolid", 1024, 70}, {"KGC1", 117, 69}, {"KGW1", 336, 69}, {"KGR1", 572, 69}};
    for (const auto& P : Panels) {
        Bytes B = Resource(P.Name);
        if (B.size() < 13)
            continue;
        std::string Signature(B.begin(), B.begin() + 6);
        EXPECT_TRUE(Signature == "GIF89a" || Signature == "GIF87a") << P.Name;
        EXPECT_EQ(int(Le16(B, 6)), P.Width) << P.Name;
        EXPECT_EQ(int(Le16(B, 8)), P.Height) << P.Name;
        ASSERT_TRUE(B[10] & 0x80) << P.Name << " needs a global colour table";
        // Entry 0 is the see-through black.
        const int Entries = 2 << (B[10] & 7);
        ASSERT_GE(B.size(), 13u + 3u * Entries);
        EXPECT_EQ(B[13] | B[14] | B[15], 0) << P.Name;
    }
}

TEST(AssetFormat, DialogHeaderIsBaselineColourJpeg)
{
    Bytes B = Resource("DialogHeader");
    if (B.size() < 4)
        return;
    ASSERT_EQ(Be16(B, 0), 0xFFD8u);
    for (size_t At = 2; At + 9 < B.size();) {
        ASSERT_EQ(B[At], 0xFF);
        uint8_t Marker = B[At + 1];
        ASSERT_NE(Marker, 0xC2) << "progressive JPEG";
        if (Marker == 0xC0) {
            EXPECT_EQ(Be16(B, At + 5), 90u);
            EXPECT_EQ(Be16(B, At + 7), 546u);
            EXPECT_EQ(B[At + 9], 3) << "colour components";
            return;
        }
        At += 2 + Be16(B, At + 2);
    }
    FAIL() << "no baseline frame header";
}

}  // namespace
