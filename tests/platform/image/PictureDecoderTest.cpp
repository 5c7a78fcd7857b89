// Decoding of real pictures: fixture files made with an image editor, bitmaps built byte by byte,
// and the damaged variants of both, which must be refused with a text naming the file.
#include "platform/image/PictureDecoder.h"
#include "tests/platform/image/BmpBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using plat::DecodeResult;

namespace {

std::string FixturePath(const std::string& Name)
{
    return std::string(SOLVANE_SOURCE_DIR) + "/tests/platform/image/fixtures/" + Name;
}

std::vector<uint8_t> ReadFixture(const std::string& Name)
{
    std::ifstream File(FixturePath(Name), std::ios::binary);
    return {std::istreambuf_iterator<char>(File), {}};
}

// Lossy pictures keep a colour within a few steps of each channel.
::testing::AssertionResult Near(uint32_t Actual, uint32_t Expected, int Tolerance = 12)
{
    for (int Shift = 0; Shift < 32; Shift += 8) {
        const int a = static_cast<int>((Actual >> Shift) & 0xFF);
        const int e = static_cast<int>((Expected >> Shift) & 0xFF);
        if (std::abs(a - e) > Tolerance)
            return ::testing::AssertionFailure() << std::hex << Actual << " is not near " << Expected;
    }
    return ::testing::AssertionSuccess();
}

void ExpectQuadrants(const plat::Picture& P, uint32_t TopRight, int Tolerance)
{
    ASSERT_EQ(P.Width(), 16);
    ASSERT_EQ(P.Height(), 16);
    EXPECT_TRUE(Near(P.Row(3)[3], 0xFF0000, Tolerance));
    EXPECT_TRUE(Near(P.Row(3)[12], TopRight, Tolerance));
    EXPECT_TRUE(Near(P.Row(12)[3], 0x0000FF, Tolerance));
    EXPECT_TRUE(Near(P.Row(12)[12], 0xFFFFFF, Tolerance));
}

}  // namespace

// Red, green (or the transparent index, which comes out black), blue and white quadrants; the
// lossy JPEG within a few steps, the GIFs exactly.
TEST(PictureDecoder, FixturesDecodeToTheirQuadrants)
{
    const struct {
        const char* File;
        const char* ClassName;
        uint32_t TopRight;
        int Tolerance;
    } Cases[] = {
        {"quads.jpg", "TJPEGImage", 0x00FF00, 12},
        {"quads87.gif", "TGIFImage", 0x00FF00, 0},
        {"trans89.gif", "TGIFImage", 0x000000, 0},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.File);
        const DecodeResult R = plat::LoadPictureFile(FixturePath(C.File));
        ASSERT_TRUE(R.Ok()) << R.Error;
        EXPECT_EQ(R.Image.ClassName(), C.ClassName);
        ExpectQuadrants(R.Image, C.TopRight, C.Tolerance);
    }
}

// Every shorter prefix of a valid picture is a truncated file and must be refused by name. A GIF
// may lose its one-byte trailer: its first image is complete without it.
TEST(PictureDecoder, EveryTruncationIsRefused)
{
    const std::vector<uint8_t> Rgb = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    const struct {
        std::vector<uint8_t> Bytes;
        size_t Optional;
    } Cases[] = {
        {ReadFixture("quads.jpg"), 0},
        {ReadFixture("trans89.gif"), 1},
        {ReadFixture("interlaced.gif"), 1},
        {bmptest::MakeBmp(3, 2, 24, 0, {}, Rgb), 0},
    };
    for (const auto& C : Cases) {
        ASSERT_FALSE(C.Bytes.empty());
        for (size_t Length = 0; Length + C.Optional < C.Bytes.size(); ++Length) {
            const DecodeResult R = plat::DecodePicture({C.Bytes.data(), Length}, "cut.pic");
            EXPECT_FALSE(R.Ok()) << "prefix of " << Length << " bytes was accepted";
            EXPECT_EQ(R.Error.rfind("cut.pic: ", 0), 0u) << R.Error;
            EXPECT_TRUE(R.Image.Empty());
        }
    }
}

TEST(JpegDecoder, GreyPictureComesOutWithEqualChannels)
{
    const DecodeResult R = plat::LoadPictureFile(FixturePath("grey.jpg"));
    ASSERT_TRUE(R.Ok()) << R.Error;
    ASSERT_EQ(R.Image.Width(), 4);
    const uint32_t Top = R.Image.Row(0)[0];
    EXPECT_EQ(Top & 0xFF, (Top >> 8) & 0xFF);
    EXPECT_EQ(Top & 0xFF, (Top >> 16) & 0xFF);
    EXPECT_GT(Top & 0xFF, R.Image.Row(7)[0] & 0xFF);
}

TEST(JpegDecoder, FourColourPictureIsRefusedWithTheLibrarysReason)
{
    const DecodeResult R = plat::LoadPictureFile(FixturePath("cmyk.jpg"));
    EXPECT_FALSE(R.Ok());
    EXPECT_NE(R.Error.find("cmyk.jpg: "), std::string::npos);
    EXPECT_GT(R.Error.size(), FixturePath("cmyk.jpg").size() + 2);
}

TEST(PictureDecoder, ForgedGiantSizeIsRefusedBeforeDecoding)
{
    std::vector<uint8_t> Jpeg = ReadFixture("quads.jpg");
    for (size_t i = 0; i + 8 < Jpeg.size(); ++i)
        if (Jpeg[i] == 0xFF && Jpeg[i + 1] == 0xC0) {
            Jpeg[i + 5] = Jpeg[i + 7] = 0xFD;  // 65000 x 65000, within the format's limit
            Jpeg[i + 6] = Jpeg[i + 8] = 0xE8;
            break;
        }
    EXPECT_EQ(plat::DecodePicture(Jpeg, "giant.jpg").Error, "giant.jpg: picture too large");
    EXPECT_EQ(plat::DecodePicture(bmptest::MakeBmp(100000, -100000, 24, 0, {}, {}), "giant.bmp").Error,
              "giant.bmp: picture too large");
}

TEST(JpegDecoder, DamagedBytesNeverCrash)
{
    const std::vector<uint8_t> Good = ReadFixture("quads.jpg");
    for (size_t i = 2; i < Good.size(); i += 3) {
        std::vector<uint8_t> Bytes = Good;
        Bytes[i] ^= 0x5A;
        const DecodeResult R = plat::DecodeJpeg(Bytes, "flip.jpg");
        if (R.Ok())
            EXPECT_EQ(R.Image.Width() > 0, true);
        else
            EXPECT_TRUE(R.Image.Empty());
    }
}

TEST(GifDecoder, InterlacedRowsLandInPlace)
{
    const DecodeResult R = plat::LoadPictureFile(FixturePath("interlaced.gif"));
    ASSERT_TRUE(R.Ok()) << R.Error;
    ASSERT_EQ(R.Image.Height(), 16);
    for (uint32_t y = 0; y < 16; ++y)
        EXPECT_EQ(R.Image.Row(static_cast<int>(y))[2], (y * 16) * 0x010101u) << "row " << y;
}

TEST(GifDecoder, ImageLargerThanItsScreenWidensThePicture)
{
    std::vector<uint8_t> Bytes = ReadFixture("quads87.gif");
    Bytes[6] = 4;  // logical screen width 4, the image stays 16 wide
    Bytes[7] = 0;
    const DecodeResult R = plat::DecodeGif(Bytes, "narrow.gif");
    ASSERT_TRUE(R.Ok()) << R.Error;
    ExpectQuadrants(R.Image, 0x00FF00, 0);
}

TEST(BmpDecoder, TwentyFourBitRowsArePaddedAndBottomUp)
{
    // 3 x 2: each row is 9 bytes of B, G, R plus 3 bytes of padding; the file's first row is the
    // picture's bottom row.
    const std::vector<uint8_t> Data = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    const DecodeResult R = plat::DecodeBmp(bmptest::MakeBmp(3, 2, 24, 0, {}, Data), "rgb.bmp");
    ASSERT_TRUE(R.Ok()) << R.Error;
    EXPECT_EQ(R.Image.ClassName(), "TBitmap");
    EXPECT_EQ(R.Image.Row(0)[0], 0x030201u);
    EXPECT_EQ(R.Image.Row(0)[2], 0x090807u);
    EXPECT_EQ(R.Image.Row(1)[0], 0xFF0000u);
    EXPECT_EQ(R.Image.Row(1)[1], 0x00FF00u);
    EXPECT_EQ(R.Image.Row(1)[2], 0x0000FFu);
}

TEST(BmpDecoder, EightBitPaletteIndices)
{
    const std::vector<uint32_t> Palette = {0x000000, 0x112233, 0xAABBCC};
    const std::vector<uint8_t> Data = {1, 2, 1, 0, 2, 2, 0, 0};  // rows of 3 padded to 4
    const DecodeResult R = plat::DecodeBmp(bmptest::MakeBmp(3, 2, 8, 0, Palette, Data), "pal.bmp");
    ASSERT_TRUE(R.Ok()) << R.Error;
    EXPECT_EQ(R.Image.Row(1)[0], 0x112233u);
    EXPECT_EQ(R.Image.Row(1)[1], 0xAABBCCu);
    EXPECT_EQ(R.Image.Row(0)[2], 0x000000u);
}

TEST(BmpDecoder, RunLengthEncodingWithOddLiteralDeltaAndEarlyEnd)
{
    const std::vector<uint32_t> Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<uint8_t> Data = {3, 1,  // bottom row: three pixels of colour 1
                                       0, 3, 2, 3, 2, 0,  // literal run of three (odd, padded to a word)
                                       0, 0,  // end of line
                                       0, 2, 1, 1,  // delta: one right, one up, to (1, 2)
                                       2, 3,  // two pixels of colour 3
                                       0, 1};  // end of bitmap; the top row is never written
    const DecodeResult R = plat::DecodeBmp(bmptest::MakeBmp(6, 4, 8, 1, Palette, Data), "rle.bmp");
    ASSERT_TRUE(R.Ok()) << R.Error;
    const uint32_t Bottom[6] = {0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(R.Image.Row(3)[x], Bottom[x]) << x;
    EXPECT_EQ(R.Image.Row(1)[0], 0u);
    EXPECT_EQ(R.Image.Row(1)[1], 0x0000FFu);
    EXPECT_EQ(R.Image.Row(1)[2], 0x0000FFu);
    EXPECT_EQ(R.Image.Row(1)[3], 0u);
    EXPECT_EQ(R.Image.Row(0)[0], 0u);
}

TEST(PictureDecoder, UnknownAndMissingFilesAreNamed)
{
    const std::vector<uint8_t> Text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(plat::DecodePicture(Text, "note.txt").Error, "note.txt: not a JPEG, GIF or Windows bitmap picture");
    EXPECT_EQ(plat::DecodePicture({}, "none.jpg").Error, "none.jpg: empty file");
    EXPECT_EQ(plat::LoadPictureFile("/nonexistent/sky.jpg").Error, "/nonexistent/sky.jpg: cannot open the file");
}

TEST(PictureDecoder, ChoosesTheDecoderBySignatureNotByName)
{
    const std::vector<uint8_t> Gif = ReadFixture("quads87.gif");
    const DecodeResult R = plat::DecodePicture(Gif, "misnamed.jpg");
    ASSERT_TRUE(R.Ok()) << R.Error;
    EXPECT_EQ(R.Image.ClassName(), "TGIFImage");
}
