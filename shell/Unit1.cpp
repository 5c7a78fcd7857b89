#include "shell/Unit1.h"

#include "assets/Resources.h"
#include "engine/Kss.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "net/Httpclient.h"
#include "net/OpenMeteo.h"
#include "net/Unit2thread1.h"
#include "net/WebAddress.h"
#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/runtime/RuntimeLock.h"
#include "platform/sound/SoundPlayer.h"
#include "shell/Scene.h"
#include "sprites/SceneLayout.h"

#include <cstdio>
#include <cstdlib>

TForm1::TForm1(TComponent* AOwner, plat::Application& AApplication, std::unique_ptr<plat::Screen> AScreen)
    : TForm(AOwner, AApplication, std::move(AScreen)), Kss1(new TKss(this)), HTTP1(new THttpClient(this, AApplication)),
      FMusicLock(std::make_unique<plat::RuntimeLock>())
{
    Kss1->SetName("Kss1");
    Kss1->OnTimer = [this](TObject* Sender) { Kss1Timer(Sender); };
    HTTP1->SetName("HTTP1");
    // The pictures are decoded when the scene is built, once the display covers the monitor.
    Scene = std::make_unique<TScene>(this, Kss1, false);
    Scene->OnStartFeeds = [this](TObject*) { StartFeeds(); };
}

// The frames must have stopped before the components they draw are freed.
TForm1::~TForm1()
{
    FFeedThread.reset();
    Kss1->SetTimerEnabled(false);
    plat::Application& app = Application();
    if (FWindowWatch != 0)
        app.KillTimer(FWindowWatch);
    if (Companion)
        return;
    app.OnKeyPress = nullptr;
    app.OnKeyDown = nullptr;
    app.OnMouseMove = nullptr;
    app.OnQuit = nullptr;
    app.OnSight = nullptr;
}

void TForm1::FormCreate(TObject*)
{
    OpenDisplay();
    if (!Closed())
        StartScene();
}

void TForm1::OpenDisplay()
{
    MainForm = !Companion;
    Kss1->SetBrandName(kBrandName);
    Kss1->SetSSName(kSaverName);
    Kss1->SetRegistry();
    LastMouseX = 0;
    LastMouseY = 0;
    Kss1->SetUseIdle(false);
    Kss1->SetWidthScreen(layout::kDesignWidth);
    Kss1->SetHeightScreen(layout::kDesignHeight);
    Kss1->SetColorDepth(32);
    Kss1->SetInterval(45);
    // The music and the volume belong to one saver of the user's at a time.
    Kss1->SetMixVolumeEnabled(MusicWanted && FMusicLock->TryAcquire("music"));
    Kss1->SetEnabled(true);
    // Movements while the scene is set up count from here.
    if (!Companion && !HackMode)
        Application().MarkPointerStart();
    if (Kss1->GetPrimary() == nullptr) {
        // Nothing can be shown and no input can arrive without a display: end instead of waiting
        // invisibly forever.
        std::fprintf(stderr, "%s: %s\n", Kss1->GetSSName().c_str(), Kss1->GetErrorResult().c_str());
        ExitSaver();
    }
}

void TForm1::StartScene(const std::vector<TScenePicture>* Decoded)
{
    BuildScene(Decoded);
    RunScene();
}

void TForm1::BuildScene(const std::vector<TScenePicture>* Decoded)
{
    // Sprite surfaces, the feed thread between the gadgets (the scene's OnStartFeeds), flight paths.
    Scene->LoadPictures(Decoded);
    Scene->Build();
}

void TForm1::RunScene()
{
    ShortCycleFrame = 0;
    LongCycleFrame = 0;
    Kss1->SetTimerEnabled(true);
    if (FMusicLock->Held())
        StartMusic();
    if (HackMode) {
        WatchHackWindow();
    } else {
        Application().ShowCursor(false);
        FCursorHidden = true;
    }
    BindInput();
}

// The daemon may destroy its window without ending the saver first (a preview closed).
void TForm1::WatchHackWindow()
{
    FWindowWatch = Application().SetTimer(250, [this] {
        if (Screen()->WindowLost())
            ExitSaver();
    });
}

void TForm1::StartFeeds()
{
    if (Companion)
        return;
    TFeedTargets targets;
    targets.HTTP1 = HTTP1;
    targets.Weather = Scene->KGW1;
    targets.News = Scene->KGR1;
    targets.NewsLink = &NewsLink;
    targets.Settings = [this] { return FeedSettingsOf(*Kss1); };
    FFeedThread = std::make_unique<WeatherHTTP>(Application(), std::move(targets));
}

void TForm1::BindInput()
{
    if (Companion)
        return;
    plat::Application& app = Application();
    app.OnQuit = [this] { ExitSaver(); };
    app.OnSight = [this](bool Seen) { FollowSight(Seen); };
    if (HackMode)
        return;
    app.OnKeyPress = [this](char Key) { FormKeyPress(this, Key); };
    app.OnKeyDown = [this](uint16_t Key) { FormKeyDown(this, Key); };
    app.OnMouseMove = [this](int X, int Y) { FormMouseMove(this, X, Y); };
}

// Runs on the frame timer's thread between the host's clear and flip. The scene draws here, in
// its fixed order: background, scenery strips, flying sprites, gadget panel, clock, weather, news.
void TForm1::Kss1Timer(TObject*)
{
    Scene->DrawFrame(ShortCycleFrame, LongCycleFrame);
}

void TForm1::FormKeyPress(TObject*, char Key)
{
    if (Key == 27)
        ExitSaver();
}

void TForm1::FormKeyDown(TObject*, uint16_t Key)
{
    if (Key == VK_F2) {
        if (!FExiting)
            OpenWebPage(NewsLink);
        ExitSaver();
    } else if (Key == VK_F3) {
        if (!FExiting)
            OpenWebPage(ForecastAddress());
        ExitSaver();
    }
}

void TForm1::FormMouseMove(TObject*, int X, int Y)
{
    if (std::abs(X - LastMouseX) > 5 && LastMouseX != 0)
        ExitSaver();
    else if (std::abs(Y - LastMouseY) > 5 && LastMouseY != 0)
        ExitSaver();
    LastMouseX = X;
    LastMouseY = Y;
}

std::string TForm1::ForecastAddress() const
{
    return ForecastPageAddress(Kss1->GetWeatherCode(), Kss1->GetTDegree());
}

void TForm1::ExitSaver()
{
    if (FExiting)
        return;
    FExiting = true;
    // Also cancels a fetch in progress, which this exit may have interrupted.
    if (FFeedThread)
        FFeedThread->Terminate();
    Kss1->SetTimerEnabled(false);
    Kss1->SetEnabled(false);
    if (FMusicLock->Held()) {
        StopMusic();
        FMusicLock->Release();
    }
    // Without a display (or in a daemon's window) the cursor was never hidden; showing it here
    // would leave the count at +1.
    if (FCursorHidden)
        Application().ShowCursor(true);
    FCursorHidden = false;
    Hide();
    BorderStyle = TFormBorderStyle::bsSizeable;
    Height = 20;
    Width = 20;
    Close();
}

void TForm1::StartMusic()
{
    plat::PlaySoundLoop(assets::FindResource("SoundName"));
}

void TForm1::StopMusic()
{
    plat::PurgeSound();
}

// Music nobody sees the saver for is music nobody wants: it waits where it was.
void TForm1::FollowSight(bool Seen)
{
    if (!FMusicLock->Held() || FExiting)
        return;
    if (Seen)
        plat::ResumeSound();
    else
        plat::PauseSound();
}
