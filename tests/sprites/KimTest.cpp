// The still-image sprite on a real display host: scaling at assignment, surfaces, the clipped blit
// at every screen edge, the black colour key, restore after a loss, and the failure texts.
#include "sprites/Kim.h"

#include "tests/sprites/SpriteHost.h"

#include <gtest/gtest.h>

namespace {

class KimTest : public SpriteHostTest {
protected:
    // A w x h coordinate picture at (X, Y), drawn once onto a black back buffer.
    TKIM* DrawAt(int X, int Y, int Width = 100, int Height = 50)
    {
        TKIM* Kim = Add<TKIM>();
        Kim->SetPicture(CoordinatePicture(Width, Height));
        Kim->SetShowX(X);
        Kim->SetShowY(Y);
        Kim->CreateDXImage();
        FillBack(0);
        Kim->DrawImage();
        EXPECT_EQ(Kim->GetErrorResult(), "");
        return Kim;
    }

    // How many pixels of a back-buffer row are not black.
    int DrawnInRow(int Y)
    {
        const plat::Picture Back = BackCopy();
        int Count = 0;
        for (int x = 0; x < Back.Width(); ++x)
            Count += Back.Row(Y)[x] != 0;
        return Count;
    }
};

class TGadgetProbe : public TKIM {
public:
    using TKIM::TKIM;
    const char* ClassName() const override { return "TKGCProbe"; }
};

}  // namespace

TEST_F(KimTest, DefaultsOfANewSprite)
{
    TKIM* Kim = Add<TKIM>();
    EXPECT_EQ(Kim->GetShowX(), 0);
    EXPECT_EQ(Kim->GetStretchWidth(), 100);
    EXPECT_EQ(Kim->GetStretchHeight(), 100);
    EXPECT_FALSE(Kim->GetStretching());
    EXPECT_FALSE(Kim->GetTransparency());
    EXPECT_EQ(Kim->BltFlags, 0u);
    EXPECT_EQ(Kim->Surface(), nullptr);
    EXPECT_STREQ(Kim->ClassName(), "TKIM");
}

TEST_F(KimTest, DesignSpaceScalingAt1280x1024)
{
    SetScreen(1280, 1024);
    TKIM* Kim = Add<TKIM>();
    Kim->SetShowX(907);  // before Stretching: kept as given
    EXPECT_EQ(Kim->GetShowX(), 907);
    Kim->SetStretching(true);
    Kim->SetShowX(907);
    Kim->SetShowY(-10);
    Kim->SetOriginalHeight(69);
    Kim->SetOriginalWidth(-10);
    EXPECT_EQ(Kim->GetShowX(), 1133);
    EXPECT_EQ(Kim->GetShowY(), -13);
    EXPECT_EQ(Kim->GetStretchHeight(), 92);
    EXPECT_EQ(Kim->GetStretchWidth(), -12);
}

TEST_F(KimTest, SurfaceHasThePictureSizeOrTheStretchSize)
{
    Open();
    TKIM* Plain = Add<TKIM>();
    Plain->SetPicture(CoordinatePicture(37, 21));
    Plain->CreateDXImage();
    EXPECT_EQ(SurfaceSize(Plain->Surface()).cx, 37);
    EXPECT_EQ(SurfaceSize(Plain->Surface()).cy, 21);
    TKIM* Stretched = Add<TKIM>();
    Stretched->SetPicture(CoordinatePicture(37, 21));
    Stretched->SetStretching(true);
    Stretched->CreateDXImage();  // no original size given: 100 x 100
    EXPECT_EQ(SurfaceSize(Stretched->Surface()).cx, 100);
    EXPECT_EQ(SurfaceSize(Stretched->Surface()).cy, 100);
}

TEST_F(KimTest, StretchedSurfaceTakesNearestPixels)
{
    Open();
    TKIM* Kim = Add<TKIM>();
    const plat::Picture Source = CoordinatePicture(10, 4);
    Kim->SetPicture(Source);
    Kim->SetStretching(true);
    Kim->SetStretchWidth(20);
    Kim->SetStretchHeight(8);
    Kim->CreateDXImage();
    const plat::Picture Surface = SurfaceCopy(Kim->Surface());
    ASSERT_EQ(Surface.Width(), 20);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(Surface.Row(y)[x], Source.Row(y / 2)[x / 2]) << x << "," << y;
}

TEST_F(KimTest, DrawsOneToOneAtItsPosition)
{
    Open();
    DrawAt(200, 100);
    EXPECT_EQ(BackPixel(200, 100), CoordinatePicture(100, 50).Row(0)[0]);
    EXPECT_EQ(BackPixel(299, 149), CoordinatePicture(100, 50).Row(49)[99]);
    EXPECT_EQ(BackPixel(300, 100), 0u);
    EXPECT_EQ(BackPixel(199, 100), 0u);
}

TEST_F(KimTest, RightEdgeOneColumnAtWMinus2NothingAtWMinus1)
{
    Open();
    DrawAt(1024 - 2, 100);
    EXPECT_EQ(DrawnInRow(100), 1);
    EXPECT_EQ(BackPixel(1022, 100), CoordinatePicture(100, 50).Row(0)[0]);
    EXPECT_EQ(BackPixel(1023, 100), 0u);
    DrawAt(1024 - 1, 100);
    EXPECT_EQ(DrawnInRow(100), 0);
}

TEST_F(KimTest, LeftEdgeNothingAtMinusWPlus1TwoColumnsAtMinusWPlus2)
{
    Open();
    DrawAt(-(100 - 1), 100);
    EXPECT_EQ(DrawnInRow(100), 0);
    DrawAt(-(100 - 2), 100);
    EXPECT_EQ(DrawnInRow(100), 2);
    EXPECT_EQ(BackPixel(0, 100), CoordinatePicture(100, 50).Row(0)[98]);
    EXPECT_EQ(BackPixel(1, 100), CoordinatePicture(100, 50).Row(0)[99]);
}

TEST_F(KimTest, AtZeroFromTheFirstSourceColumn)
{
    Open();
    DrawAt(0, 0);
    EXPECT_EQ(BackPixel(0, 0), CoordinatePicture(100, 50).Row(0)[0]);
    EXPECT_EQ(DrawnInRow(0), 100);
}

TEST_F(KimTest, FullScreenPictureLeavesTheLastRowAndColumn)
{
    Open();
    DrawAt(0, 0, 1024, 768);
    EXPECT_EQ(BackPixel(1022, 766), CoordinatePicture(1024, 768).Row(766)[1022]);
    EXPECT_EQ(BackPixel(1023, 0), 0u);
    EXPECT_EQ(BackPixel(0, 767), 0u);
    EXPECT_EQ(DrawnInRow(0), 1023);
    EXPECT_EQ(DrawnInRow(767), 0);
}

TEST_F(KimTest, WiderThanTheScreenIsCutOnBothSides)
{
    Open();
    DrawAt(-5, 10, 1100, 20);
    EXPECT_EQ(BackPixel(0, 10), CoordinatePicture(1100, 20).Row(0)[5]);
    EXPECT_EQ(DrawnInRow(10), 1023);
}

TEST_F(KimTest, TransparencySkipsBlackAndCanBeSwitchedOff)
{
    Open();
    TKIM* Kim = Add<TKIM>();
    plat::Picture Picture = CoordinatePicture(4, 1);
    Picture.Row(0)[1] = 0;
    Kim->SetPicture(Picture);
    Kim->SetShowX(10);
    Kim->SetShowY(10);
    Kim->CreateDXImage();
    Kim->SetTransparency(true);
    EXPECT_TRUE(Kim->GetTransparency());
    EXPECT_EQ(Kim->BltFlags, 1u);
    FillBack(0x123456);
    Kim->DrawImage();
    EXPECT_EQ(BackPixel(10, 10), Picture.Row(0)[0]);
    EXPECT_EQ(BackPixel(11, 10), 0x123456u);
    Kim->SetTransparency(false);
    EXPECT_FALSE(Kim->GetTransparency());
    FillBack(0x123456);
    Kim->DrawImage();
    EXPECT_EQ(BackPixel(11, 10), 0u);
}

TEST_F(KimTest, TransparencyBeforeTheSurfaceIsRefused)
{
    TKIM* Kim = Add<TKIM>();
    Kim->SetTransparency(true);
    EXPECT_EQ(Kim->GetErrorResult(), "eFpSurface==NULL");
    EXPECT_FALSE(Kim->GetTransparency());
}

TEST_F(KimTest, CreateWithoutAnOpenDisplayNamesWhatIsMissing)
{
    TKIM* Kim = Add<TKIM>();
    TObject* Sender = nullptr;
    Kim->OnError = [&](TObject* S) { Sender = S; };
    Kim->SetPicture(CoordinatePicture(4, 4));
    Kim->CreateDXImage();
    EXPECT_EQ(Kim->GetErrorResult(), "FDD==NULL");
    EXPECT_EQ(Sender, Kim);
    EXPECT_EQ(Kim->Surface(), nullptr);
    Kim->DrawImage();
    EXPECT_EQ(Kim->GetErrorResult(), "eFpSurface==NULL");
}

TEST_F(KimTest, EmptyPictureCannotMakeASurface)
{
    Open();
    TKIM* Kim = Add<TKIM>();
    Kim->CreateDXImage();
    EXPECT_EQ(Kim->GetErrorResult(), "eCreateSurfaceKIM");
    EXPECT_EQ(Kim->Surface(), nullptr);
}

TEST_F(KimTest, LostPrimaryDrawsNothingAndSaysSo)
{
    Open();
    TKIM* Kim = DrawAt(10, 10);
    Kss->GetDirectDraw()->LoseSurfaces();
    Kim->DrawImage();
    EXPECT_EQ(Kim->GetErrorResult(), "Lost surface");
}

TEST_F(KimTest, RestoreAfterALossRedrawsIdenticalPixels)
{
    Open();
    TKIM* Kim = Add<TKIM>();
    Kim->SetPicture(CoordinatePicture(300, 200));
    Kim->SetStretching(true);
    Kim->SetShowX(40);
    Kim->SetShowY(30);
    Kim->SetOriginalWidth(450);
    Kim->SetOriginalHeight(260);
    Kim->CreateDXImage();
    FillBack(0);
    Kim->DrawImage();
    const plat::Picture Before = BackCopy();
    Kss->GetDirectDraw()->LoseSurfaces();
    Kss->IsLostRestore();
    FillBack(0);
    Kim->DrawImage();
    EXPECT_EQ(Kim->GetErrorResult(), "");
    const plat::Picture After = BackCopy();
    ASSERT_EQ(After.Width(), Before.Width());
    EXPECT_EQ(std::memcmp(After.Pixels(), Before.Pixels(), static_cast<size_t>(Before.Width()) * Before.Height() * 4),
              0);
}

TEST_F(KimTest, BlitFailureNamesTheCode)
{
    Open();
    TKIM* Kim = DrawAt(10, 10, 20, 20);
    // A stretch size changed after creation asks for more than the surface holds.
    Kim->SetStretching(true);
    Kim->DrawImage();
    EXPECT_EQ(Kim->GetErrorResult(), "Error FDDBACK->BltFast (BMP) err #DDERR_INVALIDRECT");
    EXPECT_EQ(Kim->LastResult, plat::DDERR_INVALIDRECT);
}

TEST_F(KimTest, HostClosesExactlyTheStillImageSprites)
{
    Open();
    TKIM* Kim = DrawAt(10, 10);
    auto* Gadget = Add<TGadgetProbe>();
    Gadget->SetPicture(CoordinatePicture(8, 8));
    Gadget->CreateDXImage();
    Kss->SetEnabled(false);
    EXPECT_EQ(Kim->Surface(), nullptr);
    EXPECT_NE(Gadget->Surface(), nullptr);
    Kim->DrawImage();  // after the close: no surface, and no use of the released primary
    EXPECT_EQ(Kim->GetErrorResult(), "eFpSurface==NULL");
}

TEST_F(KimTest, ASecondCreateReplacesTheSurface)
{
    Open();
    TKIM* Kim = DrawAt(10, 10);
    Kim->SetPicture(CoordinatePicture(7, 3));
    Kim->CreateDXImage();
    EXPECT_EQ(SurfaceSize(Kim->Surface()).cx, 7);
}
