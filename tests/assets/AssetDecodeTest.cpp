// Every built-in picture decoded through the saver's own decoders: the sizes the scene and the
// dialog expect, gadget panels that keep clear the places where the program draws its texts and
// icons, and keyed edges without a near-black fringe.
#include "assets/Resources.h"
#include "platform/image/PictureDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Expected {
    const char* Name;
    int Width;
    int Height;
    const char* ClassName;
};

plat::Picture Decode(const char* Name)
{
    auto Bytes = assets::FindResource(Name);
    EXPECT_FALSE(Bytes.empty()) << Name << " is not built in";
    auto Result = plat::DecodePicture(Bytes, Name);
    EXPECT_TRUE(Result.Ok()) << Result.Error;
    return std::move(Result.Image);
}

TEST(AssetDecode, EveryPictureOfOursDecodesAtItsSize)
{
    const Expected Pictures[] = {
        {"KIM2GadgetPanel", 1024, 70, "TBitmap"}, {"KIM2GadgetSolid", 1024, 70, "TGIFImage"},
        {"BandGlass", 2752, 70, "TJPEGImage"},    {"BandIcons", 156, 49 * 156, "TBitmap"},
        {"KGC1", 117, 69, "TGIFImage"},           {"KGW1", 336, 69, "TGIFImage"},
        {"KGR1", 572, 69, "TGIFImage"},           {"KMV3Weather", 52, 2548, "TBitmap"},
        {"DialogHeader", 546, 90, "TJPEGImage"},  {"DialogDecor", 183, 134, "TBitmap"},
        {"SliderTrack", 199, 24, "TBitmap"},      {"SliderKnob", 34, 16, "TBitmap"},
        {"BtnOkUp", 76, 26, "TBitmap"},           {"BtnOkDown", 76, 26, "TBitmap"},
        {"BtnCancelUp", 76, 26, "TBitmap"},       {"BtnCancelDown", 76, 26, "TBitmap"},
        {"PREVIEWBMP", 154, 116, "TBitmap"},
    };
    for (const auto& P : Pictures) {
        plat::Picture Image = Decode(P.Name);
        EXPECT_EQ(Image.Width(), P.Width) << P.Name;
        EXPECT_EQ(Image.Height(), P.Height) << P.Name;
        EXPECT_EQ(Image.ClassName(), P.ClassName) << P.Name;
    }
}

struct Box {
    int Left, Top, Right, Bottom;  // right and bottom exclusive
};

int DrawnPixelsIn(const plat::Picture& Image, Box B)
{
    int Drawn = 0;
    for (int Y = B.Top; Y < B.Bottom; ++Y)
        for (int X = B.Left; X < B.Right; ++X)
            Drawn += Image.Row(Y)[X] != 0;
    return Drawn;
}

// Anti-aliasing against black would leave pixels just above black, which show as a dark grey
// fringe when the panel is keyed over the scene; every drawn pixel must be deliberate.
int NearBlackPixels(const plat::Picture& Image)
{
    int Count = 0;
    for (int Y = 0; Y < Image.Height(); ++Y) {
        for (int X = 0; X < Image.Width(); ++X) {
            uint32_t P = Image.Row(Y)[X];
            int Sum = int((P >> 16) & 0xFF) + int((P >> 8) & 0xFF) + int(P & 0xFF);
            Count += P != 0 && Sum < 30;
        }
    }
    return Count;
}

// Each gadget's plate keeps clear the boxes the program draws its texts and icons into.
TEST(AssetDecode, GadgetPanelsLeaveTheirTextAndIconBoxesClear)
{
    struct ClearBox {
        Box At;
        const char* What;
    };
    const struct {
        const char* Name;
        int Width;
        std::vector<ClearBox> Clear;
    } Panels[] = {
        {"KGC1", 117, {{{8, 26, 110, 52}, "time"}}},
        {"KGW1",
         336,
         {{{94, 8, 146, 60}, "today's icon"},
          {{206, 8, 258, 60}, "tomorrow's icon"},
          {{153, 27, 204, 52}, "today's temperature"},
          {{265, 27, 336, 52}, "tomorrow's range"}}},
        {"KGR1", 572, {{{90, 6, 560, 26}, "channel title"}, {{15, 27, 560, 50}, "creeping line"}}},
    };
    for (const auto& P : Panels) {
        plat::Picture Panel = Decode(P.Name);
        ASSERT_EQ(Panel.Width(), P.Width) << P.Name;
        for (const ClearBox& C : P.Clear)
            EXPECT_EQ(DrawnPixelsIn(Panel, C.At), 0) << P.Name << ": " << C.What;
        EXPECT_EQ(NearBlackPixels(Panel), 0) << P.Name;
    }
    EXPECT_GT(DrawnPixelsIn(Decode("KGC1"), {0, 0, 117, 26}), 0) << "the clock's label and frame";
}

// The glass is drawn whole, a softened copy of the scene: no see-through holes, and neighbours
// close in colour, where the old checker of holes stepped some 18 levels at every pixel.
TEST(AssetDecode, BandGlassIsWholeAndWithoutAPattern)
{
    plat::Picture Band = Decode("KIM2GadgetPanel");
    ASSERT_EQ(Band.Height(), 70);
    EXPECT_EQ(DrawnPixelsIn(Band, {0, 0, 1024, 70}), 1024 * 70);
    int64_t Steps = 0;
    for (int Y = 3; Y < 70; ++Y)
        for (int X = 1; X < 1024; ++X)
            for (int Shift : {16, 8, 0})
                Steps += std::abs(int((Band.Row(Y)[X] >> Shift) & 0xFF) - int((Band.Row(Y)[X - 1] >> Shift) & 0xFF));
    EXPECT_LT(double(Steps) / (67 * 1023 * 3), 1.0);
}

TEST(AssetDecode, WeatherIconsAreOpaqueTiles)
{
    plat::Picture Icons = Decode("KMV3Weather");
    ASSERT_EQ(Icons.Height(), 2548);
    // The strip is drawn without a key, so black would show as black; the tiles have a dark
    // blue ground instead, and every frame has its own picture on it.
    for (int K = 0; K < 49; ++K) {
        EXPECT_EQ(DrawnPixelsIn(Icons, {0, K * 52, 52, K * 52 + 52}), 52 * 52) << "frame " << K;
    }
}

}  // namespace
