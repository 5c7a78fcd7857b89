// The display host: the component that owns the full-screen display of its owner form, runs the
// frame loop, and keeps the saver's settings (inherited from TKssSettings).
//
// Life cycle: construct (closed) -> SetEnabled(true) loads the settings, opens the display
// (primary surface with one back buffer on the form's screen), clears and flips it ->
// SetTimerEnabled(true) starts a frame every TimerDelay ms on the frame timer's thread: loss
// check, clear, OnTimer, overlays, flip -> SetEnabled(false) stops the timer, has every sprite of
// the owner release its surfaces, and releases back buffer, primary and display object.
//
// Failures never throw and never show anything: ErrorResult gets a fixed text and OnError is
// called. After a failed open the host is closed but Enabled stays true; clearing, flipping, the
// loss check and the frames then do nothing.
//
// Threads: everything runs on the main thread except the frames, which run on the timer's thread.
// Stopping the timer (directly, by closing, or by the application becoming inactive) waits for a
// frame in progress, so the surfaces are never released under a running frame. The overlay
// switches and texts, the active flag, UseIdle and BigTick may be touched from either side.
//
// Nobody sees the window (plat::Screen::Seen, looked at on every pass of the loop): the timer's
// thread is stopped, so no frame is drawn, while TimerEnabled stays as it was set; seen again, the
// first frame is drawn at once and the timer runs on at its period. The application hears each
// change (plat::Application::SetHostSeen).
#pragma once

#include "engine/Component.h"
#include "engine/KssSettings.h"
#include "platform/display/DDraw.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class TForm;
struct TEnumContext;

namespace plat {
class Application;
class Font;
class Screen;
}  // namespace plat

class TKss : public TControl, public TKssSettings {
public:
    explicit TKss(TComponent* AOwner);
    ~TKss() override;
    const char* ClassName() const override { return "TKss"; }

    // Opens (after loading the settings) or closes the display; nothing when unchanged.
    void SetEnabled(bool Value) override;
    // Starts or stops the frame timer; starting needs an enabled host.
    void SetTimerEnabled(bool Value);
    bool GetTimerEnabled() const { return FTimerEnabled; }

    void OpenDirectDraw();
    void CloseDirectDraw();
    void ClearBackSurface();
    void ClearAllSurface();
    // Loss check, overlays, then the flip (repeated while the display is still drawing).
    void FlipSurfaces();
    // The application's idle handler while UseIdle is set.
    void GameLoop(TObject* Sender, bool& Done);
    void FuncShowFPS();
    // Text in white on a transparent background on the back buffer.
    void FuncShowTST(const char* Text, int X, int Y);
    // Restores a lost primary surface, then the surfaces of the owner's "TKIM" and "TKMV"
    // components.
    void IsLostRestore();
    void AppActivate(TObject* Sender);
    void AppDeactivate(TObject* Sender);
    void StopIdle(bool Stop);
    // Hides and closes the owner form (after giving it back a border and a small size).
    void FullExit();

    // Brightness: the gamma ramp's slope. SetRGB loads entries i x Value (modulo 65536) on all
    // three channels and stores Value as Brightness; without gamma support nothing changes. A
    // ramp that cannot be read or written is reported ("Cannot GetGammaRamp" / "Cannot
    // SetGammaRamp") and closes the display. The gamma control is held only during one load.
    void SetBrightnessEnabled(bool Value);
    void SetRGB(int32_t Value);
    // The same with a slope per channel; Brightness stays.
    void SetLinearRGB(int32_t Red, int32_t Green, int32_t Blue);
    // The master speaker volume, 0..256; true when the mixer took it. The first successful call
    // keeps the volume it replaced, which closing the host (SetEnabled(false)) gives back
    // unless someone else changed the volume meanwhile.
    bool SetMasterMixVolume(uint32_t Volume);
    void GiveBackMasterMixVolume();
    // Whether opening the host sets the master volume (true); of several savers side by side
    // only the one playing the music does.
    void SetMixVolumeEnabled(bool Value) { FMixVolumeEnabled = Value; }

    void SetErrorResult(const std::string& Text);
    std::string GetErrorResult() const;
    // The timer period, at least 1 ms; takes effect when the timer is next started.
    void SetInterval(int32_t Ms);
    int32_t GetInterval() const { return FTimerDelay; }
    void SetWidthScreen(int32_t Value);
    int32_t GetWidthScreen() const { return FWidthScreen; }
    void SetHeightScreen(int32_t Value);
    int32_t GetHeightScreen() const { return FHeightScreen; }
    void SetColorDepth(int32_t Value) { FColorDepth = Value; }
    int32_t GetColorDepth() const { return FColorDepth; }
    // Lists the display devices; the third one reported (the second display) is the one a
    // DualMonitor open takes.
    plat::HResult EnumerateScreens(TEnumContext& Context);
    void SetDualMonitor(bool Value) { FDualMonitor = Value; }
    bool GetDualMonitor() const { return FDualMonitor; }
    void SetFormHandle(bool Value) { FDefineFormHandle = Value; }
    bool GetFormHandle() const { return FDefineFormHandle; }
    void SetParentForm(TForm* Value) { FDDForm = Value; }
    TForm* GetParentForm() const { return FDDForm; }
    void SetshowFPS(bool Value) { FShowFPS = Value; }
    bool GetShowFPS() const { return FShowFPS; }
    void SetShowTestString(bool Value) { FShowTestString[0] = Value; }
    void SetShowTestString2(bool Value) { FShowTestString[1] = Value; }
    void SetShowTestString3(bool Value) { FShowTestString[2] = Value; }
    void SetTestString(const std::string& Value) { StoreTestString(0, Value); }
    void SetTestString2(const std::string& Value) { StoreTestString(1, Value); }
    void SetTestString3(const std::string& Value) { StoreTestString(2, Value); }
    void SetUseIdle(bool Value) { FUseIdle = Value; }
    bool GetUseIdle() const { return FUseIdle; }
    bool GetBigTick() const { return FBigTick; }
    int32_t GetBigTickPeriod() const { return FBigTickPeriod; }
    plat::HResult GetLastResult() const { return FLastResult; }

    // The layers every frame carries from now on besides the back buffer (plat::Screen::SetLayers):
    // the surround when Surround, and the overlay of the bottom OverlayRows rows. Main thread,
    // with the display open and the frame timer stopped; nothing happens while closed.
    void SetLayers(bool Surround, int32_t OverlayRows);
    // Where the frames and their layers go on the screen (the back buffer alone without layers;
    // empty while closed).
    plat::FrameLayout GetLayout() const;
    // Inside OnTimer (frame thread): the surround of the frame being drawn.
    plat::FramePlanes GetPlanes() const { return FBack != nullptr ? FBack->Planes() : plat::FramePlanes{}; }
    // What paints the overlay each time a frame is shown (plat::Screen::SetOverlayPainter), on the
    // main thread; null stops it. Main thread; nothing happens while closed.
    void SetOverlayPainter(std::function<void(uint32_t* Pixels, int Pitch)> Painter);

    // What the sprites take when they create their surfaces; null while closed.
    plat::DirectDraw* GetDirectDraw() const { return FDirectDraw; }
    plat::DirectDrawSurface* GetPrimary() const { return FPrimary; }
    plat::DirectDrawSurface* GetBack() const { return FBack; }

    TNotifyEvent OnError;
    // After a lost primary surface was restored and the "TKIM"/"TKMV" walk has run (on the frame
    // thread): the owners of surfaces the walk does not reach rebuild them here.
    TNotifyEvent OnSurfacesRestored;
    TNotifyEvent OnGameLoop;
    TNotifyEvent OnTimer;

private:
    static void TimerProc(uint32_t TimerId, void* User);
    // The frame timer's thread runs (its first tick FirstMs after the start) or stops.
    void RunTimer(bool Run, uint32_t FirstMs);
    void FollowSight();
    static int EnumScreensCallback(plat::GUID* Guid, const char* Description, const char* DriverName, void* Context,
                                   void* Monitor);
    void TimerFrame();
    void DrawFrame(const TNotifyEvent& Draw);
    // ErrorResult, FLastResult, close, OnError: the report of a failed open step.
    void FailOpen(const char* Text, plat::HResult Result);
    // With the gamma control held: loads the ramp with these slopes and releases the control.
    void LoadRamp(int32_t Red, int32_t Green, int32_t Blue);
    void FailRamp(const char* Text);
    bool CreateDisplayObject();
    bool CreateFlipChain();
    void InstallIdle(bool Install);
    // Asks every "TKIM" and "TKMV" of the owner to close (or restore) its surfaces.
    void WalkSprites(bool Close);
    void ReleaseDisplayObjects();
    void StoreTestString(int Index, const std::string& Value);
    TForm* OwnerForm() const;
    // The displays the screen of the form the host opens on can be opened on.
    int DisplayCount() const;

    plat::Application& FApp;
    int32_t FWidthScreen = 800;
    int32_t FHeightScreen = 600;
    int32_t FColorDepth = 24;
    int32_t FTimerDelay = 40;
    bool FDualMonitor = false;
    bool FDefineFormHandle = false;
    TForm* FDDForm = nullptr;
    bool FTimerEnabled = false;
    bool FSeen = true;  // main thread
    // The application's events for this host (activation, presenting); 0 before the first open.
    int FHostId = 0;
    // The screen whose frames the loop shows; main thread.
    plat::Screen* FPresentOn = nullptr;
    uint32_t FTimerID = 0;
    plat::HResult FLastResult = 0;
    plat::DirectDraw* FDirectDraw = nullptr;
    plat::DirectDrawSurface* FPrimary = nullptr;
    plat::DirectDrawSurface* FBack = nullptr;
    plat::Font* FOverlayFont = nullptr;
    bool FBrightnessEnabled = false;
    plat::DirectDrawGammaControl* FGammaControl = nullptr;
    bool FVolumeKept = false;
    bool FMixVolumeEnabled = true;
    uint32_t FVolumeBefore = 0;
    uint32_t FVolumeSet = 0;

    std::atomic<bool> FActive{true};
    std::atomic<bool> FUseIdle{true};
    std::atomic<bool> FShowFPS{false};
    std::atomic<bool> FShowTestString[3]{false, false, false};
    std::atomic<bool> FBigTick{false};
    std::atomic<int32_t> FBigTickPeriod{500};
    int32_t FBigTickCount = 0;  // frame thread only
    // The frame-rate overlay's measurement: frames since the last one, when it was, the rate.
    std::atomic<int> FFrameCount{0};
    std::atomic<uint32_t> FLastMeasureMs{0};
    std::atomic<int> FLastRate{0};

    mutable std::mutex FTextLock;  // the test texts and ErrorResult
    std::string FTestString[3];
    std::string FErrorResult;
};
