// The scene on monitors of other shapes (headless screens standing for them): the surround
// continues the frame's picture and moves where it moves, the flyers cross into it, and the band
// is drawn at the monitor's resolution, glass or solid.
#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "sprites/Kmv.h"
#include "tests/shell/scene/SceneStage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using scenetest::TSceneStage;

int Channel(uint32_t P, int Shift)
{
    return static_cast<int>((P >> Shift) & 0xFF);
}

// The mean difference of two columns of pixels, per channel.
double ColumnDifference(const uint32_t* A, int PitchA, const uint32_t* B, int PitchB, int Rows)
{
    double Sum = 0;
    for (int y = 0; y < Rows; ++y)
        for (int Shift : {0, 8, 16})
            Sum += std::abs(Channel(A[y * PitchA], Shift) - Channel(B[y * PitchB], Shift));
    return Sum / (3.0 * Rows);
}

std::vector<uint32_t> Copy(const uint32_t* Pixels, size_t Count)
{
    return std::vector<uint32_t>(Pixels, Pixels + Count);
}

TEST(SceneLayers, TheSurroundContinuesTheFrameAndMovesWithIt)
{
    TSceneStage Stage({.ShowTime = 1, .ShowWeather = 1, .ShowNews = 1, .OutputWidth = 1920, .OutputHeight = 1080});
    const plat::FrameLayout& L = Stage.Screen->Layout();
    ASSERT_EQ(L.Left, 171);
    ASSERT_EQ(L.Right, 171);
    EXPECT_TRUE(Stage.Scene->Surround().Error().empty()) << Stage.Scene->Surround().Error();
    Stage.Frame();
    const plat::Picture Frame = Stage.Shown();
    const std::vector<uint32_t> Left = Copy(Stage.Screen->ShownLayers().Left, size_t(171) * 768);
    const std::vector<uint32_t> Right = Copy(Stage.Screen->ShownLayers().Right, size_t(171) * 768);
    const int Rows = 768 - 70;
    for (int y = 0; y < Rows; ++y)
        for (int x = 0; x < 171; ++x)
            ASSERT_TRUE(Left[y * 171 + x] != 0 && Right[y * 171 + x] != 0) << x << ", " << y;
    // One picture: across each seam the picture changes no more than between the frame's own
    // neighbouring columns (the frame's last column is never drawn; its neighbour stands in).
    const double Inside = ColumnDifference(Frame.Row(0), 1024, Frame.Row(0) + 1, 1024, Rows);
    EXPECT_LT(ColumnDifference(Left.data() + 170, 171, Frame.Row(0), 1024, Rows), 2 * Inside + 4);
    EXPECT_LT(ColumnDifference(Frame.Row(0) + 1022, 1024, Right.data(), 171, Rows), 2 * Inside + 4);

    Stage.Frame();
    Stage.Shown();
    const uint32_t* Next = Stage.Screen->ShownLayers().Left;
    int SkyChanged = 0, SeaChanged = 0;
    for (int y = 0; y < Rows; ++y)
        for (int x = 0; x < 171; ++x) {
            const bool Changed = Next[y * 171 + x] != Left[y * 171 + x];
            if (y < 300)
                SkyChanged += Changed;
            else if (y >= 551)
                SeaChanged += Changed;
        }
    EXPECT_EQ(SkyChanged, 0);
    EXPECT_GT(SeaChanged, 171 * 50);
}

TEST(SceneLayers, AFlyerBeyondTheFrameShowsInTheSurround)
{
    TSceneStage Stage({.OutputWidth = 1920, .OutputHeight = 1080});
    const plat::FrameLayout L = Stage.Screen->Layout();
    TKMV& Gull = *Stage.Scene->KMV3SG;
    Gull.SetNumberFrame(0);
    Gull.SetShowX(-50);
    Gull.SetShowY(300);
    std::vector<uint32_t> Without(L.LayerPixels()), With(L.LayerPixels());
    TKMV* const Flyers[] = {&Gull};
    Stage.Scene->Surround().Draw(plat::PlanesAt(Without.data(), L), 0, 0, {});
    Stage.Scene->Surround().Draw(plat::PlanesAt(With.data(), L), 0, 0, Flyers);
    int Inside = 0, Outside = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < L.Left; ++x) {
            const bool Under = x >= L.Left - 50 && y >= 300 && y < 300 + Gull.SurfaceHeight();
            (Under ? Inside : Outside) += With[y * L.Left + x] != Without[y * L.Left + x];
        }
    EXPECT_GT(Inside, 20);
    EXPECT_EQ(Outside, 0);
}

TEST(SceneLayers, TheBandIsDrawnAtTheMonitorsScaleOnGlassOrSolid)
{
    for (int32_t Black : {0, 1}) {
        TSceneStage Stage(
            {.ShowTime = 1, .ShowNews = 1, .ShowBlack = Black, .OutputWidth = 1080, .OutputHeight = 1920});
        const plat::FrameLayout& L = Stage.Screen->Layout();
        ASSERT_EQ(L.Top, 1053);
        ASSERT_EQ(L.Overlay.Height(), 74);
        EXPECT_EQ(Stage.Scene->KGR1->GetBandStep(), 2);  // 2 design pixels a frame, whole at 1.05
        Stage.Frame();
        Stage.Frame();
        Stage.Shown();
        EXPECT_EQ(Stage.Scene->KGR1->GetBandScroll(), 4);  // moved for both frames, shown once
        const plat::FramePlanes Planes = Stage.Screen->ShownLayers();
        const plat::Picture& Overlay = Stage.Screen->ShownOverlay();
        ASSERT_EQ(Overlay.Width(), 1080);
        // The sky above the frame meets its top row.
        const plat::Picture& Frame = Stage.Screen->Shown();
        double Seam = 0;
        for (int x = 0; x < 1024; ++x)
            Seam += std::abs(Channel(Planes.Top[1052 * 1024 + x], 0) - Channel(Frame.Row(0)[x], 0));
        EXPECT_LT(Seam / 1024, 6.0);
        // The clock's white digits in the band's right end; no black anywhere.
        int White = 0;
        for (int y = 0; y < 74; ++y)
            for (int x = 0; x < 1080; ++x) {
                const uint32_t P = Overlay.Row(y)[x];
                ASSERT_NE(P, 0u) << x << ", " << y;
                White += x > 950 && P == 0xFFFFFFu;
            }
        EXPECT_GT(White, 40);
        // Glass shows the scene behind it, so the empty part of a row varies; the solid panel
        // is the same all along.
        const plat::Picture& Base = Stage.Scene->Band().Base();
        int Distinct = 0;
        for (int x = 200; x < 400; ++x)
            Distinct += Base.Row(60)[x] != Base.Row(60)[x + 1];
        EXPECT_EQ(Distinct > 20, Black == 0) << Distinct;
    }
}

// The band is painted on the main thread as frames are shown, while the frames draw on their own
// thread and new values arrive (tools/tsan.sh runs this under ThreadSanitizer).
TEST(SceneLayers, TheBandIsPaintedWhileFramesDraw)
{
    TSceneStage Stage({.ShowTime = 1, .ShowWeather = 1, .ShowNews = 1, .OutputWidth = 1920, .OutputHeight = 1080});
    std::atomic<bool> Done{false};
    std::thread Frames([&] {
        for (int i = 0; i < 40; ++i)
            Stage.Frame();
        Done = true;
    });
    int Shown = 0;
    for (int i = 0; !Done; ++i) {
        Stage.Scene->KGR1->SetRssLine(i % 2 ? "Ferry timetable changes" : "Lighthouse open to visitors");
        Stage.Scene->KGW1->SetTodayNow(std::to_string(60 + i % 20));
        Shown += Stage.Screen->PresentLatest();
    }
    Frames.join();
    Shown += Stage.Screen->PresentLatest();
    EXPECT_GT(Shown, 0);
    EXPECT_GT(Stage.Scene->KGR1->GetBandScroll(), 0);
}

}  // namespace
