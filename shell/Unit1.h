// The saver window: the saver mode's main form. Creating it (FormCreate) configures and opens the
// display host Kss1, starts the frame loop and hides the cursor; its input handlers end the saver
// (Escape, a mouse movement of more than 5 pixels, F2 and F3 after opening a web page).
//
// Started by a screensaver daemon (HackMode), the form draws into the daemon's window and leaves
// the input and the cursor to the daemon, which ends the saver with a signal. Of several savers
// running side by side, only the one holding the runtime lock "music" plays.
//
// A companion form shows the saver on another monitor beside the main form (TSaverSession): it
// plays nothing, fetches nothing (its gadgets are given the main form's values), takes no input,
// and closing it does not end the application.
//
// Order of calls: construct -> FormCreate -> input handlers (main thread) while Kss1Timer draws
// each frame on the frame timer's thread -> ExitSaver (once; later exit input does nothing) ->
// the application's loop ends -> destruction.
#pragma once

#include "engine/Form.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class THttpClient;
struct TScenePicture;
class TKss;
class TScene;
class WeatherHTTP;

namespace plat {
class Application;
class RuntimeLock;
class Screen;
}  // namespace plat

// Virtual key codes of the keys the saver answers.
constexpr uint16_t VK_F2 = 113;
constexpr uint16_t VK_F3 = 114;

class TForm1 : public TForm {
public:
    // Without a screen the form makes its SDL window when the display opens.
    TForm1(TComponent* AOwner, plat::Application& AApplication, std::unique_ptr<plat::Screen> AScreen);
    ~TForm1() override;
    const char* ClassName() const override { return "TForm1"; }

    // The whole start: OpenDisplay, then (when the display opened) StartScene. Several windows
    // side by side open all their displays first, so every monitor is covered at once.
    void FormCreate(TObject* Sender);
    // Settings, the host's configuration and the display; ends the saver when no display opens.
    void OpenDisplay();
    // The scene (from pictures decoded for several windows, when given), the frame loop, the
    // music, the cursor and the input: BuildScene, then RunScene.
    void StartScene(const std::vector<TScenePicture>* Decoded = nullptr);
    // The scene's sprites, gadgets and flight paths; nothing moves yet.
    void BuildScene(const std::vector<TScenePicture>* Decoded = nullptr);
    // The frame loop, the music, the cursor and the input of the built scene.
    void RunScene();
    void Kss1Timer(TObject* Sender);
    void FormKeyPress(TObject* Sender, char Key);
    void FormKeyDown(TObject* Sender, uint16_t Key);
    void FormMouseMove(TObject* Sender, int X, int Y);
    void ExitSaver();

    // The forecast page of the weather site for the place and unit of the settings.
    std::string ForecastAddress() const;

    // Set before FormCreate.
    bool HackMode = false;
    bool MusicWanted = true;
    bool Companion = false;

    TKss* Kss1;
    // The feed fetches' HTTP client, used on the UI thread by the feed thread's FeedTick.
    THttpClient* HTTP1;
    // The animated coast: its sprites are components of this form; it owns the flight records.
    std::unique_ptr<TScene> Scene;
    int32_t ShortCycleFrame = 0;
    int32_t LongCycleFrame = 0;
    int32_t LastMouseX = 0;
    int32_t LastMouseY = 0;
    // The news channel's link, written by the news fetch, opened by F2.
    std::string NewsLink;

private:
    void StartFeeds();

    // The looping music track "SoundName", from the end of FormCreate until ExitSaver.
    void StartMusic();
    void StopMusic();
    // While no window of the application can be seen the music pauses.
    void FollowSight(bool Seen);
    void BindInput();

    void WatchHackWindow();

    bool FExiting = false;
    bool FCursorHidden = false;
    std::unique_ptr<plat::RuntimeLock> FMusicLock;
    int FWindowWatch = 0;
    std::unique_ptr<WeatherHTTP> FFeedThread;
};
