// The display host on a headless screen: properties, opening and closing, the frame loop, the
// overlays, the flip's busy and loss answers, and the walk over the owner's sprites.
#include "engine/Kss.h"

#include "engine/SurfaceOwners.h"
#include "platform/display/DisplayEnum.h"
#include "tests/engine/HeadlessHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Stand-ins that answer the sprites' class names; the walk must pick them by name alone.
class TImageProbe : public TControl, public TDXImageOwner {
public:
    explicit TImageProbe(TComponent* AOwner, const char* AClassName = "TKIM") : TControl(AOwner), FClassName(AClassName)
    {}
    const char* ClassName() const override { return FClassName; }
    void CloseDXImage() override { ++Closed; }
    void RestoreSurface() override { ++Restored; }
    int Closed = 0;
    int Restored = 0;

private:
    const char* FClassName;
};

class TMovieProbe : public TControl, public TDXMovieOwner {
public:
    explicit TMovieProbe(TComponent* AOwner, const char* AClassName = "TKMV") : TControl(AOwner), FClassName(AClassName)
    {}
    const char* ClassName() const override { return FClassName; }
    void CloseDXMovie() override { ++Closed; }
    void RestoreSurfaces() override { ++Restored; }
    int Closed = 0;
    int Restored = 0;

private:
    const char* FClassName;
};

class KssTest : public HeadlessHostTest {
protected:
    void OpenSaverMode()
    {
        Kss->SetUseIdle(false);
        Kss->SetWidthScreen(1024);
        Kss->SetHeightScreen(768);
        Kss->SetColorDepth(32);
        Kss->SetInterval(45);
        Kss->SetEnabled(true);
        ASSERT_NE(Kss->GetPrimary(), nullptr) << Kss->GetErrorResult();
    }

    static bool WaitFor(const std::atomic<int>& Value, int Wanted)
    {
        for (int i = 0; i < 400 && Value.load() < Wanted; ++i)
            std::this_thread::sleep_for(5ms);
        return Value.load() >= Wanted;
    }

    // Whether any pixel of the shown frame inside the rectangle is lighter than mid grey.
    bool ShownHasLightPixel(int Left, int Top, int Right, int Bottom)
    {
        const plat::Picture& shown = Screen->Shown();
        for (int y = Top; y < Bottom && y < shown.Height(); ++y)
            for (int x = Left; x < Right && x < shown.Width(); ++x)
                if ((shown.Row(y)[x] & 0xFF) > 0x80)
                    return true;
        return false;
    }
};

}  // namespace

TEST_F(KssTest, StartsClosedWithItsInitialProperties)
{
    EXPECT_FALSE(Kss->GetEnabled());
    EXPECT_FALSE(Kss->GetTimerEnabled());
    EXPECT_EQ(Kss->GetWidthScreen(), 800);
    EXPECT_EQ(Kss->GetHeightScreen(), 600);
    EXPECT_EQ(Kss->Width, 800);
    EXPECT_EQ(Kss->GetColorDepth(), 24);
    EXPECT_EQ(Kss->GetInterval(), 40);
    EXPECT_EQ(Kss->GetBigTickPeriod(), 500);
    EXPECT_TRUE(Kss->GetUseIdle());
    EXPECT_FALSE(Kss->GetBigTick());
    EXPECT_EQ(Kss->GetRGB(), 256);
    EXPECT_EQ(Kss->GetVolume(), 0);
    EXPECT_EQ(Kss->GetErrorResult(), "");
    EXPECT_EQ(Kss->GetPrimary(), nullptr);
}

TEST_F(KssTest, TimerNeedsAnEnabledHost)
{
    Kss->SetTimerEnabled(true);
    EXPECT_FALSE(Kss->GetTimerEnabled());
}

TEST_F(KssTest, BigTickPeriodFollowsTheTimerDelay)
{
    Kss->SetInterval(45);
    EXPECT_EQ(Kss->GetBigTickPeriod(), 440);
    Kss->SetInterval(40);
    EXPECT_EQ(Kss->GetBigTickPeriod(), 500);
    Kss->SetInterval(0);  // No division by zero; the period is held at 1 ms.
    EXPECT_EQ(Kss->GetInterval(), 1);
    EXPECT_EQ(Kss->GetBigTickPeriod(), 20000);
}

TEST_F(KssTest, EnablingOpensTheDisplayBlackAndLoadsTheSettings)
{
    OpenSaverMode();
    EXPECT_EQ(Form->BorderStyle, TFormBorderStyle::bsNone);
    EXPECT_EQ(Form->Color, clBlack);
    EXPECT_FALSE(Kss->Visible);
    EXPECT_EQ(Kss->GetWeatherCode(), "20001");  // The defaults went in on the first load.
    App.ProcessMessages();
    ASSERT_EQ(Screen->Shown().Width(), 1024);
    ASSERT_EQ(Screen->Shown().Height(), 768);
    EXPECT_FALSE(ShownHasLightPixel(0, 0, 1024, 768));
}

TEST_F(KssTest, EnablingTwiceOpensOnce)
{
    OpenSaverMode();
    plat::DirectDraw* first = Kss->GetDirectDraw();
    Kss->SetEnabled(true);
    EXPECT_EQ(Kss->GetDirectDraw(), first);
}

TEST_F(KssTest, FailedOpenLeavesNoSurfacesAndFramesThatDoNothing)
{
    // Owned through a plain component of the form: no owner form to take the display for.
    TComponent holder(Form.get());
    TKss orphan(&holder);
    orphan.SetBrandName("Kestrin Software");
    orphan.SetSSName("Solvane Screensaver");
    orphan.SetUseIdle(false);
    orphan.SetInterval(2);
    int errors = 0;
    std::atomic<int> frames{0};
    orphan.OnError = [&](TObject* Sender) { errors += Sender == &orphan; };
    orphan.OnTimer = [&](TObject*) { ++frames; };
    orphan.SetEnabled(true);
    EXPECT_TRUE(orphan.GetEnabled());
    EXPECT_EQ(orphan.GetErrorResult(), "Error SetCooperativeLevel");
    EXPECT_TRUE(plat::Failed(orphan.GetLastResult()));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(orphan.GetDirectDraw(), nullptr);
    EXPECT_EQ(orphan.GetPrimary(), nullptr);
    EXPECT_EQ(orphan.GetBack(), nullptr);
    orphan.SetTimerEnabled(true);
    std::this_thread::sleep_for(30ms);
    orphan.ClearAllSurface();
    orphan.FlipSurfaces();
    orphan.IsLostRestore();
    orphan.SetTimerEnabled(false);
    EXPECT_EQ(frames.load(), 0);
}

TEST_F(KssTest, UnsupportedDepthIsReportedAsDisplayModeError)
{
    Kss->SetColorDepth(13);
    Kss->SetUseIdle(false);
    Kss->SetEnabled(true);
    EXPECT_EQ(Kss->GetErrorResult(), "Error SetDisplayMode");
    EXPECT_EQ(Kss->GetPrimary(), nullptr);
}

TEST_F(KssTest, DualMonitorOnOneMonitorIsRefused)
{
    Screen->SetDisplayCount(1);
    Kss->SetDualMonitor(true);
    Kss->SetEnabled(true);
    EXPECT_EQ(Kss->GetErrorResult(), "This program work only in dual monitor system!");
    EXPECT_EQ(Kss->GetDirectDraw(), nullptr);
}

// A second display exists only through the display list's seam here (SDL sees no second monitor
// on any test X server): the third device the enumeration reports is the one opened.
TEST_F(KssTest, DualMonitorOnTwoDisplaysOpensTheSecond)
{
    Screen->SetDisplayCount(2);
    Kss->SetDualMonitor(true);
    OpenSaverMode();
    EXPECT_EQ(Screen->OpenedOn(), 1);
    EXPECT_EQ(Kss->GetErrorResult(), "");
}

TEST_F(KssTest, TimerFramesDrawThroughOnTimerAndFlip)
{
    std::atomic<int> frames{0};
    Kss->OnTimer = [&](TObject* Sender) {
        if (Sender == Kss && Kss->GetBack() != nullptr)
            ++frames;
    };
    OpenSaverMode();
    Kss->SetInterval(5);
    Kss->SetTimerEnabled(true);
    EXPECT_TRUE(WaitFor(frames, 3));
    Kss->SetEnabled(false);
    const int atClose = frames.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(frames.load(), atClose);
    EXPECT_FALSE(Kss->GetTimerEnabled());
}

TEST_F(KssTest, DeactivationStopsTicksAndActivationRestartsThem)
{
    std::atomic<int> frames{0};
    Kss->OnTimer = [&](TObject*) { ++frames; };
    OpenSaverMode();
    Kss->SetInterval(5);
    Kss->SetTimerEnabled(true);
    EXPECT_TRUE(WaitFor(frames, 1));
    App.Deactivate();
    EXPECT_FALSE(Kss->GetTimerEnabled());
    const int paused = frames.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(frames.load(), paused);
    App.Activate();
    EXPECT_TRUE(Kss->GetTimerEnabled());
    EXPECT_TRUE(WaitFor(frames, paused + 2));
    // The frames write to this test's counter: they must end before it does.
    Kss->SetTimerEnabled(false);
}

TEST_F(KssTest, IdleFramesDrawThroughOnGameLoop)
{
    int frames = 0;
    Kss->OnGameLoop = [&](TObject*) { ++frames; };
    Kss->SetEnabled(true);  // UseIdle is on by default.
    ASSERT_TRUE(static_cast<bool>(App.OnIdle));
    bool done = true;
    App.OnIdle(done);
    EXPECT_FALSE(done);
    EXPECT_EQ(frames, 1);
    Kss->StopIdle(true);
    EXPECT_FALSE(static_cast<bool>(App.OnIdle));
    Kss->StopIdle(false);
    EXPECT_TRUE(static_cast<bool>(App.OnIdle));
}

TEST_F(KssTest, TestStringsAndFrameRateAreDrawnInWhite)
{
    OpenSaverMode();
    Kss->SetTestString2("Test two");
    Kss->SetShowTestString2(true);
    Kss->SetshowFPS(true);
    Kss->ClearBackSurface();
    Kss->FlipSurfaces();
    App.ProcessMessages();
    EXPECT_FALSE(ShownHasLightPixel(0, 0, 1024, 38));  // Rows of the first text: off.
    EXPECT_TRUE(ShownHasLightPixel(20, 40, 120, 58));  // The second test text.
    EXPECT_TRUE(ShownHasLightPixel(20, 768 - 30, 200, 768));  // The frame rate.
}

TEST_F(KssTest, FlipRepeatsWhileTheDisplayIsStillDrawing)
{
    OpenSaverMode();
    int calls = 0;
    Screen->OnFlip = [&] { return ++calls < 4; };
    Kss->FlipSurfaces();
    EXPECT_EQ(calls, 4);
}

TEST_F(KssTest, LossFoundByTheFlipRestoresOnceAndDoesNotFlipAgain)
{
    auto* image = new TImageProbe(Form.get());
    auto* movie = new TMovieProbe(Form.get());
    OpenSaverMode();
    int calls = 0;
    Screen->OnFlip = [&] {
        ++calls;
        Kss->GetDirectDraw()->LoseSurfaces();
        return false;
    };
    Kss->FlipSurfaces();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(image->Restored, 1);
    EXPECT_EQ(movie->Restored, 1);
    EXPECT_NE(Kss->GetPrimary()->IsLost(), plat::DDERR_SURFACELOST);
}

TEST_F(KssTest, LossCheckRestoresOnlyTheExactSpriteClasses)
{
    auto* image = new TImageProbe(Form.get());
    auto* gadget = new TImageProbe(Form.get(), "TKGC");
    auto* movie = new TMovieProbe(Form.get());
    OpenSaverMode();
    Kss->IsLostRestore();  // Nothing lost: nobody is asked.
    EXPECT_EQ(image->Restored, 0);
    Kss->GetDirectDraw()->LoseSurfaces();
    Kss->IsLostRestore();
    EXPECT_EQ(image->Restored, 1);
    EXPECT_EQ(movie->Restored, 1);
    EXPECT_EQ(gadget->Restored, 0);
}

TEST_F(KssTest, ClosingClosesOnlyTheExactSpriteClasses)
{
    auto* image = new TImageProbe(Form.get());
    auto* gadget = new TImageProbe(Form.get(), "TKGW");
    auto* movie = new TMovieProbe(Form.get());
    auto* derivedMovie = new TMovieProbe(Form.get(), "TKMVSmall");
    OpenSaverMode();
    Kss->SetEnabled(false);
    EXPECT_EQ(image->Closed, 1);
    EXPECT_EQ(movie->Closed, 1);
    EXPECT_EQ(gadget->Closed, 0);
    EXPECT_EQ(derivedMovie->Closed, 0);
    EXPECT_EQ(Kss->GetDirectDraw(), nullptr);
    EXPECT_EQ(Kss->GetBack(), nullptr);
}

TEST_F(KssTest, FullExitClosesTheOwnerFormSmallAndSizeable)
{
    OpenSaverMode();
    Kss->SetEnabled(false);
    Kss->FullExit();
    EXPECT_TRUE(Form->Closed());
    EXPECT_FALSE(Form->Visible);
    EXPECT_EQ(Form->BorderStyle, TFormBorderStyle::bsSizeable);
    EXPECT_EQ(Form->Width, 20);
    EXPECT_EQ(Form->Height, 20);
    EXPECT_TRUE(App.Terminated());
}
