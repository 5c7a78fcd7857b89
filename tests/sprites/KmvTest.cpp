// The strip sprite on a real display host: cutting a strip into frames (counts, limits, sizes,
// the JPEG strip's bitmap), per-frame colour keys, drawing, restore after a loss, and its failure
// texts.
#include "sprites/Kmv.h"

#include "platform/gdi/DrawContext.h"
#include "platform/image/PictureDecoder.h"
#include "sprites/Kim.h"
#include "tests/sprites/SpriteHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t FrameFill(int i)
{
    return 0x100000u + static_cast<uint32_t>(i) * 0x10u + 1;
}
uint32_t RedOrGreen(int i)
{
    return i % 2 ? 0x00FF00u : 0xFF0000u;
}
uint32_t SameAsFill(int i)
{
    return FrameFill(i);
}

class KmvTest : public SpriteHostTest {
protected:
    TKMV* Strip(const plat::Picture& Picture, int FrameHeight)
    {
        TKMV* Kmv = Add<TKMV>();
        Kmv->SetPicture(Picture);
        Kmv->SetYOffsetFrame(FrameHeight);
        return Kmv;
    }

    static bool SamePixels(const plat::Picture& A, const plat::Picture& B)
    {
        return A.Width() == B.Width() && A.Height() == B.Height() &&
            std::memcmp(A.Pixels(), B.Pixels(), static_cast<size_t>(A.Width()) * A.Height() * 4) == 0;
    }
};

class TSmallStripProbe : public TKMV {
public:
    using TKMV::TKMV;
    const char* ClassName() const override { return "TKMVSmallProbe"; }
};

}  // namespace

TEST_F(KmvTest, DefaultsOfANewStrip)
{
    TKMV* Kmv = Add<TKMV>();
    EXPECT_EQ(Kmv->GetYOffsetFrame(), 0);
    EXPECT_EQ(Kmv->GetNumberFrame(), 0);
    EXPECT_EQ(Kmv->FrameCount(), 0);
    EXPECT_EQ(Kmv->GetStretchWidth(), 100);
    EXPECT_FALSE(Kmv->DibLoaded());
    EXPECT_STREQ(Kmv->ClassName(), "TKMV");
}

TEST_F(KmvTest, FrameCountIsWholeFramesOnly)
{
    Open();
    TKMV* Gulls = Strip(plat::Picture(4, 2548, "TBitmap"), 52);
    Gulls->CreateDXMovie();
    EXPECT_EQ(Gulls->FrameCount(), 49);
    EXPECT_NE(Gulls->Surface(48), nullptr);
    EXPECT_EQ(Gulls->Surface(49), nullptr);
    TKMV* Sea = Strip(plat::Picture(4, 6727, "TBitmap"), 217);
    Sea->CreateDXMovie();
    EXPECT_EQ(Sea->FrameCount(), 31);
    EXPECT_EQ(SurfaceSize(Sea->Surface(30)).cy, 217);
}

TEST_F(KmvTest, TwoHundredFramesAcceptedTwoHundredAndOneRefused)
{
    Open();
    TKMV* Full = Strip(StripPicture(3, 2, 200, FrameFill, SameAsFill), 2);
    Full->CreateDXMovie();
    EXPECT_EQ(Full->GetErrorResult(), "");
    EXPECT_EQ(Full->FrameCount(), 200);
    EXPECT_NE(Full->Surface(199), nullptr);
    TKMV* Over = Strip(StripPicture(3, 2, 201, FrameFill, SameAsFill), 2);
    Over->CreateDXMovie();
    EXPECT_EQ(Over->GetErrorResult(), "TOO match sprites");
    EXPECT_EQ(Over->FrameCount(), 0);
    EXPECT_EQ(Over->Surface(0), nullptr);
}

TEST_F(KmvTest, FrameHeightZeroOrLargerThanTheStrip)
{
    Open();
    TKMV* Zero = Strip(plat::Picture(4, 40, "TBitmap"), 0);
    Zero->CreateDXMovie();
    EXPECT_EQ(Zero->GetErrorResult(), "Not defined OriginalHeight");
    EXPECT_EQ(Zero->FrameCount(), 0);
    TKMV* Tall = Strip(plat::Picture(4, 40, "TBitmap"), 41);
    Tall->CreateDXMovie();
    EXPECT_EQ(Tall->GetErrorResult(), "");
    EXPECT_EQ(Tall->FrameCount(), 0);
    Tall->SetTransparency(true);
    EXPECT_FALSE(Tall->GetTransparency());
}

TEST_F(KmvTest, JpegStripIsCutFromItsBitmap)
{
    Open();
    const plat::DecodeResult Jpeg =
        plat::LoadPictureFile(std::string(SOLVANE_SOURCE_DIR) + "/tests/platform/image/fixtures/quads.jpg");
    ASSERT_TRUE(Jpeg.Ok()) << Jpeg.Error;
    TKMV* Kmv = Strip(Jpeg.Image, 8);
    Kmv->CreateDXMovie();
    EXPECT_EQ(Kmv->GetErrorResult(), "not loaded DIB BMP");
    EXPECT_EQ(Kmv->FrameCount(), 0);
    EXPECT_TRUE(Kmv->IsJpeg());

    Kmv->SetFDibBitmap(nullptr);
    EXPECT_FALSE(Kmv->DibLoaded());
    const plat::Picture Dib = StripPicture(16, 8, 2, FrameFill, SameAsFill);
    Kmv->SetFDibBitmap(&Dib);
    EXPECT_TRUE(Kmv->DibLoaded());
    Kmv->SetErrorResult("");
    Kmv->CreateDXMovie();
    EXPECT_EQ(Kmv->GetErrorResult(), "");
    ASSERT_EQ(Kmv->FrameCount(), 2);
    EXPECT_EQ(SurfaceCopy(Kmv->Surface(1)).Row(3)[3], FrameFill(1));
}

TEST_F(KmvTest, BitmapStripNeedsNoSeparateBitmap)
{
    Open();
    TKMV* Kmv = Strip(StripPicture(5, 4, 3, FrameFill, SameAsFill), 4);
    Kmv->CreateDXMovie();
    ASSERT_EQ(Kmv->FrameCount(), 3);
    EXPECT_EQ(SurfaceCopy(Kmv->Surface(2)).Row(1)[1], FrameFill(2));
}

TEST_F(KmvTest, StretchSizeFollowsTheDesignSpace)
{
    TKMV* Kmv = Add<TKMV>();
    Kmv->SetPicture(plat::Picture(573, 650, "TBitmap"));
    Kmv->SetStretching(true);
    Kmv->SetYOffsetFrame(65);
    EXPECT_EQ(Kmv->GetStretchWidth(), 573);
    EXPECT_EQ(Kmv->GetStretchHeight(), 65);
    SetScreen(1280, 1024);
    Kmv->SetYOffsetFrame(65);
    EXPECT_EQ(Kmv->GetStretchWidth(), 716);
    EXPECT_EQ(Kmv->GetStretchHeight(), 86);
}

TEST_F(KmvTest, ExplicitStretchSizeGivesEveryFrameThatSize)
{
    Open();
    TKMV* Kmv = Add<TKMV>();
    Kmv->SetPicture(StripPicture(38, 24, 4, FrameFill, SameAsFill));
    Kmv->SetStretching(true);
    Kmv->SetYOffsetFrame(24);
    Kmv->SetStretchWidth(28);
    Kmv->SetStretchHeight(18);
    Kmv->CreateDXMovie();
    ASSERT_EQ(Kmv->FrameCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SurfaceSize(Kmv->Surface(i)).cx, 28);
        EXPECT_EQ(SurfaceSize(Kmv->Surface(i)).cy, 18);
    }
}

TEST_F(KmvTest, StretchedFrameEqualsTheBandStretchedAlone)
{
    Open();
    const plat::Picture Strip3 = CoordinatePicture(38, 72);
    TKMV* Kmv = Add<TKMV>();
    Kmv->SetPicture(Strip3);
    Kmv->SetStretching(true);
    Kmv->SetYOffsetFrame(24);
    Kmv->SetStretchWidth(57);
    Kmv->SetStretchHeight(17);
    Kmv->CreateDXMovie();
    ASSERT_EQ(Kmv->FrameCount(), 3);
    // The reference: band 2 copied to a frame bitmap of its own, then stretched.
    plat::Picture Band(38, 24, "TBitmap");
    plat::DrawContext(Band).CopyRect(plat::TRect{0, 0, 38, 24}, Strip3, plat::TRect{0, 48, 38, 72});
    plat::Picture Expected(57, 17, "TBitmap");
    plat::DrawContext(Expected).StretchDraw(plat::TRect{0, 0, 57, 17}, Band);
    EXPECT_TRUE(SamePixels(SurfaceCopy(Kmv->Surface(2)), Expected));
}

TEST_F(KmvTest, EachFrameDropsItsOwnCornerColour)
{
    Open();
    // Frame 0: red corner, a red pixel inside, the rest blue; frame 1: green corner, a red pixel
    // inside (drawn: red is not this frame's key), the rest blue.
    plat::Picture Picture = StripPicture(
        4, 2, 2, [](int) { return 0x0000FFu; }, RedOrGreen);
    Picture.Row(1)[2] = 0xFF0000u;
    Picture.Row(3)[2] = 0xFF0000u;
    TKMV* Kmv = Strip(Picture, 2);
    Kmv->SetShowX(10);
    Kmv->SetShowY(10);
    Kmv->CreateDXMovie();
    Kmv->SetTransparency(true);
    EXPECT_TRUE(Kmv->GetTransparency());
    EXPECT_EQ(Kmv->BltFlags, 1u);

    FillBack(0x777777);
    Kmv->SetNumberFrame(0);
    Kmv->DrawMovie();
    EXPECT_EQ(BackPixel(10, 10), 0x777777u);
    EXPECT_EQ(BackPixel(12, 11), 0x777777u);
    EXPECT_EQ(BackPixel(11, 10), 0x0000FFu);

    FillBack(0x777777);
    Kmv->SetNumberFrame(1);
    Kmv->DrawMovie();
    EXPECT_EQ(BackPixel(10, 10), 0x777777u);
    EXPECT_EQ(BackPixel(12, 11), 0xFF0000u);
    EXPECT_EQ(Kmv->GetErrorResult(), "");
}

TEST_F(KmvTest, ColourMatchOfARealColourLeavesTheSurfaceAsItWas)
{
    Open();
    TKMV* Kmv = Strip(StripPicture(4, 4, 1, FrameFill, RedOrGreen), 4);
    Kmv->CreateDXMovie();
    EXPECT_EQ(Kmv->DDColorMatch(*Kmv->Surface(0), plat::RGB(0, 0, 255)), 0x0000FFu);
    EXPECT_EQ(Kmv->DDColorMatch(*Kmv->Surface(0), 0xFFFFFFFFu), 0xFF0000u);
    EXPECT_EQ(SurfaceCopy(Kmv->Surface(0)).Row(0)[0], 0xFF0000u);
}

TEST_F(KmvTest, ClipsExactlyLikeTheStillImage)
{
    Open();
    const plat::Picture Picture = CoordinatePicture(90, 40);
    const int Positions[][2] = {{1022, 5}, {1023, 5}, {-89, 5}, {-88, 5}, {0, 0}, {500, 767}, {500, -38}, {-3, 740}};
    for (const auto& P : Positions) {
        TKIM* Kim = Add<TKIM>();
        Kim->SetPicture(Picture);
        Kim->SetShowX(P[0]);
        Kim->SetShowY(P[1]);
        Kim->CreateDXImage();
        FillBack(0);
        Kim->DrawImage();
        const plat::Picture Still = BackCopy();
        TKMV* Kmv = Strip(Picture, 40);
        Kmv->SetShowX(P[0]);
        Kmv->SetShowY(P[1]);
        Kmv->CreateDXMovie();
        FillBack(0);
        Kmv->DrawMovie();
        EXPECT_TRUE(SamePixels(BackCopy(), Still)) << P[0] << "," << P[1];
    }
}

TEST_F(KmvTest, LostPrimaryThenRestoreRedrawsIdenticalPixels)
{
    Open();
    TKMV* Kmv = Add<TKMV>();
    Kmv->SetPicture(CoordinatePicture(120, 90));
    Kmv->SetStretching(true);
    Kmv->SetShowX(33);
    Kmv->SetShowY(44);
    Kmv->SetYOffsetFrame(30);
    Kmv->SetStretchWidth(150);
    Kmv->SetStretchHeight(41);
    Kmv->CreateDXMovie();
    Kmv->SetTransparency(true);
    Kmv->SetNumberFrame(2);
    FillBack(0x101010);
    Kmv->DrawMovie();
    const plat::Picture Before = BackCopy();

    Kss->GetDirectDraw()->LoseSurfaces();
    Kmv->DrawMovie();
    EXPECT_EQ(Kmv->GetErrorResult(), "Lost surface");
    Kss->IsLostRestore();
    Kmv->SetErrorResult("");
    FillBack(0x101010);
    Kmv->DrawMovie();
    EXPECT_EQ(Kmv->GetErrorResult(), "");
    EXPECT_TRUE(SamePixels(BackCopy(), Before));
}

TEST_F(KmvTest, FrameOutsideTheStripDrawsNothing)
{
    Open();
    TKMV* Kmv = Strip(StripPicture(4, 2, 3, FrameFill, SameAsFill), 2);
    Kmv->SetShowX(5);
    Kmv->SetShowY(5);
    Kmv->CreateDXMovie();
    FillBack(0);
    for (int Frame : {3, 199, 200, -1, 1 << 30}) {
        Kmv->SetNumberFrame(Frame);
        Kmv->DrawMovie();
    }
    EXPECT_EQ(BackPixel(6, 6), 0u);
    EXPECT_EQ(Kmv->GetErrorResult(), "");
}

TEST_F(KmvTest, HostClosesExactlyTheStripSprites)
{
    Open();
    TKMV* Kmv = Strip(StripPicture(4, 2, 3, FrameFill, SameAsFill), 2);
    Kmv->CreateDXMovie();
    auto* Derived = Add<TSmallStripProbe>();
    Derived->SetPicture(StripPicture(4, 2, 3, FrameFill, SameAsFill));
    Derived->SetYOffsetFrame(2);
    Derived->CreateDXMovie();
    Kss->SetEnabled(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Kmv->Surface(i), nullptr);
    EXPECT_NE(Derived->Surface(0), nullptr);
    Kmv->DrawMovie();  // no use of the released primary
}

TEST_F(KmvTest, SurfaceCreationFailureStopsTheCutKeepingEarlierFrames)
{
    Open();
    TKMV* Kmv = Strip(StripPicture(4, 2, 3, FrameFill, SameAsFill), 2);
    Kmv->SetStretching(true);
    Kmv->SetStretchWidth(0);  // no surface can have this size
    Kmv->CreateDXMovie();
    EXPECT_EQ(Kmv->GetErrorResult(), "Error CreateSurfaceMOV");
    EXPECT_EQ(Kmv->Surface(0), nullptr);
    EXPECT_TRUE(plat::Failed(Kmv->LastResult));
}

TEST_F(KmvTest, ASecondCutReplacesTheFrames)
{
    Open();
    TKMV* Kmv = Strip(StripPicture(4, 2, 3, FrameFill, SameAsFill), 2);
    Kmv->CreateDXMovie();
    Kmv->SetPicture(StripPicture(6, 2, 2, FrameFill, SameAsFill));
    Kmv->CreateDXMovie();
    EXPECT_EQ(Kmv->FrameCount(), 2);
    EXPECT_EQ(Kmv->Surface(2), nullptr);
    EXPECT_EQ(SurfaceSize(Kmv->Surface(0)).cx, 6);
}
