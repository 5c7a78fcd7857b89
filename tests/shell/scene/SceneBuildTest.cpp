// The scene's set-up and frame on the headless screen: where the gadgets land for the switches,
// when the feeds start, the run-time flyer copies, the flights, the first frame's strip frames,
// and the gadget panel's transparency.
#include "assets/Resources.h"
#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "platform/image/PictureDecoder.h"
#include "sprites/Kim.h"
#include "sprites/Kmv.h"
#include "tests/shell/scene/SceneStage.h"

#include <gtest/gtest.h>

namespace {

using scenetest::TSceneStage;

TEST(SceneBuild, AllGadgetsSitSideBySide)
{
    TSceneStage Stage({.ShowTime = 1, .ShowWeather = 1, .ShowNews = 1, .ShowBlack = 1});
    const TScene& S = *Stage.Scene;
    EXPECT_EQ(S.KGR1->GetShowX(), 0);
    EXPECT_EQ(S.KGW1->GetShowX(), 571);
    EXPECT_EQ(S.KGC1->GetShowX(), 907);
    EXPECT_EQ(S.KGC1->GetShowY(), 698);
    EXPECT_NE(S.KGC1->Surface(), nullptr);
    EXPECT_FALSE(S.KIM2GadgetPanel->GetTransparency());  // a solid band
    EXPECT_EQ(S.KGW1->GetWeatherPicVCL(), S.KMV3Weather);
    EXPECT_EQ(S.KMV3Weather->FrameCount(), 49);
}

TEST(SceneBuild, WithoutTheClockWeatherAndTickerMoveRight)
{
    TSceneStage Stage({.ShowTime = 0, .ShowWeather = 1, .ShowNews = 1, .ShowBlack = 0});
    const TScene& S = *Stage.Scene;
    EXPECT_EQ(S.KGW1->GetShowX(), 688);
    EXPECT_EQ(S.KGR1->GetShowX(), 117);
    EXPECT_EQ(S.KGC1->Surface(), nullptr);  // a gadget switched off gets no surface
    EXPECT_FALSE(S.KIM2GadgetPanel->GetTransparency());  // glass, drawn whole
}

TEST(SceneBuild, FeedsStartOnceBetweenWeatherAndNewsWhateverTheSwitches)
{
    for (int32_t On : {0, 1}) {
        TSceneStage Stage({.ShowTime = On, .ShowWeather = On, .ShowNews = On}, false);
        TScene& S = *Stage.Scene;
        int Calls = 0;
        bool WeatherReady = false, NewsReady = true;
        S.OnStartFeeds = [&](TObject* Sender) {
            ++Calls;
            EXPECT_EQ(Sender, Stage.Form.get());
            WeatherReady = S.KGW1->Surface() != nullptr;
            NewsReady = S.KGR1->Surface() != nullptr;
        };
        S.Build();
        EXPECT_EQ(Calls, 1);
        EXPECT_EQ(WeatherReady, On == 1);
        EXPECT_FALSE(NewsReady);
        EXPECT_EQ(S.KGR1->Surface() != nullptr, On == 1);
    }
}

TEST(SceneBuild, SmallerFlyersAreRunTimeCopiesOfTheSmallStrip)
{
    TSceneStage Stage({});
    const TScene& S = *Stage.Scene;
    struct {
        const TKMV* Strip;
        int32_t Width, Height;
    } const Copies[] = {{S.KMV3SGmini, 28, 18}, {S.KMV3SGtiny, 14, 9}};
    for (const auto& C : Copies) {
        ASSERT_NE(C.Strip, nullptr);
        EXPECT_EQ(C.Strip->Owner(), Stage.Form.get());
        EXPECT_EQ(C.Strip->Parent(), Stage.Kss1);
        EXPECT_STREQ(C.Strip->ClassName(), "TKMV");
        EXPECT_EQ(C.Strip->GetPicture().ClassName(), "TBitmap");
        EXPECT_EQ(C.Strip->FrameCount(), 121);
        EXPECT_EQ(C.Strip->SurfaceWidth(), C.Width);
        EXPECT_EQ(C.Strip->SurfaceHeight(), C.Height);
        EXPECT_TRUE(C.Strip->GetTransparency());
    }
    EXPECT_EQ(S.KMV3SG->SurfaceWidth(), 68);
    EXPECT_EQ(S.KMV3SG->SurfaceHeight(), 44);
    EXPECT_EQ(S.KMV1->FrameCount(), 31);
    EXPECT_EQ(S.KMV2->FrameCount(), 31);
    EXPECT_EQ(S.KMV3->FrameCount(), 150);
}

TEST(SceneBuild, OnlyTheSurfacesHoldTheJpegPicturesOnceCut)
{
    TSceneStage Stage({});
    const TScene& S = *Stage.Scene;
    for (const TSpriteControl* Sprite :
         {static_cast<const TSpriteControl*>(S.KIM1), static_cast<const TSpriteControl*>(S.KMV1)}) {
        EXPECT_TRUE(Sprite->GetPicture().Empty());
        EXPECT_EQ(Sprite->GetPicture().Width(), 1024);  // size and kind stay
        EXPECT_EQ(Sprite->GetPicture().ClassName(), "TJPEGImage");
    }
    EXPECT_FALSE(S.KMV3SGsmall->GetPicture().Empty());
}

TEST(SceneBuild, FourFlightsOnTheirPaths)
{
    TSceneStage Stage({});
    const auto& F = Stage.Scene->Flights;
    const int32_t Points[] = {33, 38, 38, 23};
    const int32_t Steps[] = {35, 32, 36, 50};
    const int32_t Segments[] = {0, 0, 10, 0};
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(F[i]);
        EXPECT_EQ(F[i]->PointCount, Points[i]);
        EXPECT_EQ(F[i]->Steps, Steps[i]);
        EXPECT_EQ(F[i]->SegmentIndex, Segments[i]);
        EXPECT_EQ(F[i]->Step, 0);
    }
}

TEST(SceneFrame, FirstFrameShowsStripFrameOneAndPlacesTheFlyers)
{
    TSceneStage Stage({});
    Stage.Frame();
    const TScene& S = *Stage.Scene;
    EXPECT_EQ(S.KMV1->GetNumberFrame(), 1);
    EXPECT_EQ(S.KMV2->GetNumberFrame(), 1);
    EXPECT_EQ(S.KMV3->GetNumberFrame(), 1);
    const TKMV* Flyers[] = {S.KMV3SG, S.KMV3SGsmall, S.KMV3SGmini, S.KMV3SGtiny};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Flyers[i]->GetShowX(), static_cast<int32_t>(S.Flights[i]->PosX));
        EXPECT_EQ(Flyers[i]->GetShowY(), static_cast<int32_t>(S.Flights[i]->PosY));
        EXPECT_EQ(Flyers[i]->GetNumberFrame(), S.Flights[i]->Frame);
    }
    for (int i = 1; i < 31; ++i)
        Stage.Frame();
    EXPECT_EQ(S.KMV1->GetNumberFrame(), 0);  // the 31st frame
    EXPECT_EQ(S.KMV3->GetNumberFrame(), 31);
}

TEST(SceneFrame, PanelIsGlassOrSolidAndAbsentWithoutGadgets)
{
    // The panel's band with no gadget on, with the ticker on glass ("Transparency of background"
    // ticked) and on the solid panel; the ticker sits right of x 453, so the left part is panel
    // only.
    auto Band = [](const scenetest::TSwitches& Switches) {
        TSceneStage Stage(Switches);
        Stage.Frame();
        return Stage.Shown();
    };
    const plat::Picture None = Band({});
    const plat::Picture Glass = Band({.ShowNews = 1, .ShowBlack = 0});
    const plat::Picture Solid = Band({.ShowNews = 1, .ShowBlack = 1});
    const auto Decoded = [](const char* Name) { return plat::DecodePicture(assets::FindResource(Name), Name).Image; };
    const plat::Picture GlassPicture = Decoded("KIM2GadgetPanel");
    const plat::Picture SolidPicture = Decoded("KIM2GadgetSolid");
    ASSERT_EQ(GlassPicture.Width(), 1024);
    ASSERT_EQ(SolidPicture.Width(), 1024);
    int Differ = 0;
    for (int Y = 0; Y < 69; ++Y) {
        for (int X = 0; X < 453; ++X) {
            ASSERT_EQ(Glass.Row(698 + Y)[X] & 0xFFFFFFu, GlassPicture.Row(Y)[X]) << X << ", " << Y;
            ASSERT_EQ(Solid.Row(698 + Y)[X] & 0xFFFFFFu, SolidPicture.Row(Y)[X]) << X << ", " << Y;
            Differ +=
                (None.Row(698 + Y)[X] != Glass.Row(698 + Y)[X]) + (GlassPicture.Row(Y)[X] != SolidPicture.Row(Y)[X]);
        }
    }
    EXPECT_GT(Differ, 2 * 69 * 453 * 9 / 10);
}

}  // namespace
