#include "engine/Kss.h"

#include "engine/Form.h"
#include "engine/SurfaceOwners.h"
#include "platform/app/Application.h"
#include "platform/display/DisplayEnum.h"
#include "platform/display/Screen.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/sound/Mixer.h"
#include "platform/sound/VolumeAtExit.h"
#include "platform/timer/MultimediaTimer.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr plat::COLORREF kOverlayColour = plat::RGB(255, 255, 255);
constexpr int kOverlayFontHeight = 16;

void ReleaseRef(plat::DirectDrawSurface*& Surface)
{
    if (Surface)
        Surface->Release();
    Surface = nullptr;
}

}  // namespace

// One enumeration's state, handed to its callback as the context: the system's layout first
// (the second value, when negative, is the enumeration's result), then the devices reported so
// far and a copy of the third one's identity. Each host enumerates with its own.
struct TEnumContext {
    int32_t Layout[2] = {1, 0};
    int32_t Count = 0;
    std::optional<plat::GUID> SecondaryGuid;
};

TKss::TKss(TComponent* AOwner) : TControl(AOwner), FApp(ApplicationOf(AOwner))
{
    FEnabled = false;
    Width = FWidthScreen;
    Height = FHeightScreen;
}

TKss::~TKss()
{
    SetTimerEnabled(false);
    CloseDirectDraw();
    // A host that ends without being disabled (a start cut short by an exception) still owes the
    // user their volume.
    GiveBackMasterMixVolume();
    if (FHostId != 0)
        FApp.RemoveHost(FHostId);
    if (FOverlayFont)
        plat::DeleteObject(FOverlayFont);
}

void TKss::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (!Value) {
        CloseDirectDraw();
        GiveBackMasterMixVolume();
        return;
    }
    SetRegistry();
    OpenDirectDraw();
    ClearBackSurface();
    FlipSurfaces();
    if (GetRGB() < 256)
        SetRGB(GetRGB());
    if (FMixVolumeEnabled)
        SetMasterMixVolume(static_cast<uint32_t>(GetVolume()));
}

void TKss::SetTimerEnabled(bool Value)
{
    if (Value == FTimerEnabled || (Value && !FEnabled))
        return;
    FTimerEnabled = Value;
    RunTimer(Value && FSeen, static_cast<uint32_t>(FTimerDelay));
}

void TKss::RunTimer(bool Run, uint32_t FirstMs)
{
    if (Run == (FTimerID != 0))
        return;
    if (Run) {
        FTimerID = FApp.FrameTimers().timeSetEvent(static_cast<uint32_t>(FTimerDelay), FirstMs, TimerProc, this);
        return;
    }
    const uint32_t id = FTimerID;
    FTimerID = 0;
    FApp.FrameTimers().timeKillEvent(id);  // Waits for a frame in progress.
}

// On every pass of the loop, before the newest frame is shown.
void TKss::FollowSight()
{
    const bool seen = FPresentOn == nullptr || FPresentOn->Seen();
    if (seen == FSeen)
        return;
    FSeen = seen;
    FApp.SetHostSeen(FHostId, seen);
    RunTimer(FTimerEnabled && seen, 0);
}

void TKss::SetLayers(bool Surround, int32_t OverlayRows)
{
    plat::Screen* screen = FDDForm ? FDDForm->Screen() : nullptr;
    if (FPrimary != nullptr && screen != nullptr)
        screen->SetLayers(Surround, OverlayRows);
}

void TKss::SetOverlayPainter(std::function<void(uint32_t* Pixels, int Pitch)> Painter)
{
    plat::Screen* screen = FDDForm ? FDDForm->Screen() : nullptr;
    if (FPrimary != nullptr && screen != nullptr)
        screen->SetOverlayPainter(std::move(Painter));
}

plat::FrameLayout TKss::GetLayout() const
{
    plat::Screen* screen = FDDForm ? FDDForm->Screen() : nullptr;
    return FPrimary != nullptr && screen != nullptr ? screen->Layout() : plat::FrameLayout{};
}

void TKss::OpenDirectDraw()
{
    if (FUseIdle)
        InstallIdle(true);
    if (FHostId == 0)
        FHostId = FApp.AddHost({[this] { AppActivate(this); }, [this] { AppDeactivate(this); },
                                [this] {
                                    FollowSight();
                                    if (FPresentOn)
                                        FPresentOn->PresentLatest();
                                }});
    if (TForm* form = OwnerForm()) {
        form->BorderStyle = TFormBorderStyle::bsNone;
        form->Color = clBlack;
    }
    Color = clBlack;
    Visible = false;
    if (!CreateDisplayObject())
        return;
    if (!FDefineFormHandle || FDDForm == nullptr)
        FDDForm = OwnerForm();
    plat::Screen* screen = FDDForm ? FDDForm->Screen() : nullptr;
    FLastResult = FDirectDraw->SetCooperativeLevel(screen, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN);
    if (plat::Failed(FLastResult))
        return FailOpen("Error SetCooperativeLevel", FLastResult);
    FLastResult = FDirectDraw->SetDisplayMode(static_cast<uint32_t>(FWidthScreen), static_cast<uint32_t>(FHeightScreen),
                                              static_cast<uint32_t>(FColorDepth));
    if (plat::Failed(FLastResult))
        return FailOpen("Error SetDisplayMode", FLastResult);
    if (!CreateFlipChain())
        return;
    FPresentOn = screen;
    if (FOverlayFont == nullptr)
        FOverlayFont = FApp.Fonts().CreateFontA(kOverlayFontHeight, 0, 0, 0, plat::FW_NORMAL, 0, 0, 0,
                                                plat::ANSI_CHARSET, plat::OUT_DEFAULT_PRECIS, plat::CLIP_DEFAULT_PRECIS,
                                                plat::DEFAULT_QUALITY, plat::VARIABLE_PITCH, "Arial");
}

bool TKss::CreateDisplayObject()
{
    if (!FDualMonitor) {
        FLastResult = plat::DirectDrawCreate(nullptr, &FDirectDraw, nullptr);
        if (plat::Failed(FLastResult)) {
            FailOpen("Error DirectDrawCreate", FLastResult);
            return false;
        }
        return true;
    }
    if (DisplayCount() < 2) {
        SetErrorResult("This program work only in dual monitor system!");
        if (OnError)
            OnError(this);
        return false;
    }
    TEnumContext context;
    FLastResult = EnumerateScreens(context);
    if (FLastResult == plat::E_FAIL) {
        SetErrorResult("ERROR EnumerateScreens");
        if (OnError)
            OnError(this);
    }
    // No third device: the default one.
    const plat::GUID* device = context.SecondaryGuid ? &*context.SecondaryGuid : nullptr;
    FLastResult = plat::DirectDrawCreate(device, &FDirectDraw, nullptr);
    if (plat::Failed(FLastResult)) {
        FailOpen("Error DirectDrawCreate on secondary monitor", FLastResult);
        return false;
    }
    return true;
}

int TKss::DisplayCount() const
{
    const TForm* form = FDefineFormHandle && FDDForm != nullptr ? FDDForm : OwnerForm();
    const plat::Screen* screen = form != nullptr ? form->Screen() : nullptr;
    return screen != nullptr ? screen->DisplayCount() : 1;
}

plat::HResult TKss::EnumerateScreens(TEnumContext& Context)
{
    plat::HResult result = plat::DirectDrawEnumerateExA(EnumScreensCallback, &Context,
                                                        plat::DDENUM_ATTACHEDSECONDARYDEVICES, DisplayCount());
    if (plat::Succeeded(result) && Context.Layout[1] < 0)
        result = static_cast<plat::HResult>(Context.Layout[1]);
    return result;
}

int TKss::EnumScreensCallback(plat::GUID* Guid, const char*, const char*, void* Context, void*)
{
    auto& context = *static_cast<TEnumContext*>(Context);
    if (context.Count++ == 2 && Guid != nullptr)
        context.SecondaryGuid = *Guid;
    return 1;
}

bool TKss::CreateFlipChain()
{
    plat::DDSURFACEDESC desc;
    desc.dwFlags = plat::DDSD_CAPS | plat::DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP | plat::DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    FLastResult = FDirectDraw->CreateSurface(&desc, &FPrimary, nullptr);
    if (plat::Failed(FLastResult)) {
        FailOpen("Error CreatePrimarySurface", FLastResult);
        return false;
    }
    plat::DDSCAPS caps;
    caps.dwCaps = plat::DDSCAPS_BACKBUFFER;
    FLastResult = FPrimary->GetAttachedSurface(&caps, &FBack);
    if (plat::Failed(FLastResult)) {
        FailOpen("Error CreateBackSurface", FLastResult);
        return false;
    }
    return true;
}

void TKss::FailOpen(const char* Text, plat::HResult Result)
{
    SetErrorResult(Text);
    FLastResult = Result;
    CloseDirectDraw();
    if (OnError)
        OnError(this);
}

void TKss::CloseDirectDraw()
{
    SetTimerEnabled(false);
    SetBrightnessEnabled(false);
    InstallIdle(false);
    WalkSprites(true);
    ReleaseDisplayObjects();
}

void TKss::ReleaseDisplayObjects()
{
    FPresentOn = nullptr;
    FollowSight();  // a host without a screen counts as seen
    ReleaseRef(FBack);
    ReleaseRef(FPrimary);
    if (FDirectDraw)
        FDirectDraw->Release();
    FDirectDraw = nullptr;
}

void TKss::WalkSprites(bool Close)
{
    TComponent* owner = Owner();
    if (owner == nullptr)
        return;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* component = owner->Components(i);
        const char* name = component->ClassName();
        if (std::strcmp(name, "TKIM") == 0) {
            if (auto* image = dynamic_cast<TDXImageOwner*>(component))
                Close ? image->CloseDXImage() : image->RestoreSurface();
        }
        if (std::strcmp(name, "TKMV") == 0) {
            if (auto* movie = dynamic_cast<TDXMovieOwner*>(component))
                Close ? movie->CloseDXMovie() : movie->RestoreSurfaces();
        }
    }
}

void TKss::ClearBackSurface()
{
    if (FBack == nullptr)
        return;
    plat::DDBLTFX fx;
    fx.dwFillColor = 0;
    FBack->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
}

void TKss::ClearAllSurface()
{
    if (FPrimary == nullptr)
        return;
    plat::DDBLTFX fx;
    fx.dwFillColor = 0;
    FPrimary->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
    ClearBackSurface();
}

void TKss::IsLostRestore()
{
    if (FPrimary == nullptr || FPrimary->IsLost() != plat::DDERR_SURFACELOST)
        return;
    if (plat::Failed(FPrimary->Restore()))
        return;
    WalkSprites(false);
    if (OnSurfacesRestored)
        OnSurfacesRestored(this);
}

void TKss::FlipSurfaces()
{
    if (FPrimary == nullptr)
        return;
    IsLostRestore();
    if (FShowFPS)
        FuncShowFPS();
    {
        static constexpr int kTestRows[3] = {20, 40, 60};
        std::lock_guard<std::mutex> guard(FTextLock);
        for (int i = 0; i < 3; ++i)
            if (FShowTestString[i])
                FuncShowTST(FTestString[i].c_str(), 20, kTestRows[i]);
    }
    for (;;) {
        const plat::HResult result = FPrimary->Flip(nullptr, 0);
        if (result == plat::DDERR_WASSTILLDRAWING)
            continue;
        if (result == plat::DDERR_SURFACELOST)
            IsLostRestore();
        break;
    }
    FApp.WakeUp();
}

void TKss::FuncShowFPS()
{
    if (FFrameCount.fetch_add(1) + 1 >= 10) {
        const uint32_t now = plat::timeGetTime();
        const uint32_t elapsed = now - FLastMeasureMs.exchange(now);
        // Two measurements in the same millisecond give no rate; keep the last one.
        if (elapsed > 0)
            FLastRate = static_cast<int>(10.0 / (elapsed * 0.001));
        FFrameCount = 0;
    }
    char text[48];
    std::snprintf(text, sizeof text, "Frame rate: %d FPS", FLastRate.load());
    FuncShowTST(text, 20, FHeightScreen - 30);
}

void TKss::FuncShowTST(const char* Text, int X, int Y)
{
    plat::DrawContext* dc = nullptr;
    if (FBack == nullptr || plat::Failed(FBack->GetDC(&dc)) || dc == nullptr)
        return;
    dc->SelectObject(FOverlayFont);
    dc->SetBkMode(plat::TRANSPARENT);
    dc->SetTextColor(kOverlayColour);
    dc->TextOutA(X, Y, Text, static_cast<int>(std::strlen(Text)));
    FBack->ReleaseDC(dc);
}

void TKss::TimerProc(uint32_t, void* User)
{
    static_cast<TKss*>(User)->TimerFrame();
}

void TKss::TimerFrame()
{
    if (!FActive)
        return;
    if (!FUseIdle)
        DrawFrame(OnTimer);
    else if (OnTimer && FPrimary)
        OnTimer(this);
    if (++FBigTickCount > FBigTickPeriod) {
        FBigTickCount = 0;
        FBigTick = !FBigTick;
    }
}

void TKss::DrawFrame(const TNotifyEvent& Draw)
{
    if (FPrimary == nullptr)
        return;
    IsLostRestore();
    ClearBackSurface();
    if (Draw)
        Draw(this);
    FlipSurfaces();
}

void TKss::GameLoop(TObject*, bool& Done)
{
    Done = false;
    if (FActive)
        DrawFrame(OnGameLoop);
}

void TKss::InstallIdle(bool Install)
{
    if (Install)
        FApp.OnIdle = [this](bool& Done) { GameLoop(this, Done); };
    else
        FApp.OnIdle = nullptr;
}

void TKss::AppActivate(TObject*)
{
    FActive = true;
    if (FUseIdle)
        InstallIdle(true);
    SetTimerEnabled(true);
}

void TKss::AppDeactivate(TObject*)
{
    FActive = false;
    InstallIdle(false);
    SetTimerEnabled(false);
}

void TKss::StopIdle(bool Stop)
{
    if (Stop)
        InstallIdle(false);
    else if (FUseIdle)
        InstallIdle(true);
}

void TKss::FullExit()
{
    TForm* form = OwnerForm();
    if (form == nullptr)
        return;
    form->Hide();
    form->BorderStyle = TFormBorderStyle::bsSizeable;
    form->Height = 20;
    form->Width = 20;
    form->Close();
}

void TKss::SetBrightnessEnabled(bool Value)
{
    if (Value == FBrightnessEnabled)
        return;
    FBrightnessEnabled = false;
    if (!Value) {
        if (FGammaControl)
            FGammaControl->Release();
        FGammaControl = nullptr;
        return;
    }
    // A display that did not open has no ramp: as without gamma support.
    if (FDirectDraw == nullptr || FPrimary == nullptr)
        return;
    if (FPrimary->IsLost() == plat::DDERR_SURFACELOST) {
        SetErrorResult("Lost surface");
        if (OnError)
            OnError(this);
        return;
    }
    plat::DDCAPS caps;
    FDirectDraw->GetCaps(&caps, nullptr);
    if ((caps.dwCaps2 & plat::DDCAPS2_PRIMARYGAMMA) == 0)
        return;
    FBrightnessEnabled = true;
    FPrimary->QueryGammaControl(&FGammaControl);
}

void TKss::SetRGB(int32_t Value)
{
    SetBrightnessEnabled(true);
    if (FGammaControl == nullptr)
        return;
    FBrightness = Value;
    LoadRamp(Value, Value, Value);
}

void TKss::SetLinearRGB(int32_t Red, int32_t Green, int32_t Blue)
{
    SetBrightnessEnabled(true);
    if (FGammaControl != nullptr)
        LoadRamp(Red, Green, Blue);
}

void TKss::LoadRamp(int32_t Red, int32_t Green, int32_t Blue)
{
    plat::DDGAMMARAMP ramp{};
    if (plat::Failed(FGammaControl->GetGammaRamp(0, &ramp))) {
        FailRamp("Cannot GetGammaRamp");
        return;
    }
    // Accumulated in 16 bits: slopes above 257 wrap, as the ramp's entries do.
    uint16_t red = 0, green = 0, blue = 0;
    for (int i = 0; i < 256; ++i) {
        ramp.red[i] = red;
        ramp.green[i] = green;
        ramp.blue[i] = blue;
        red = static_cast<uint16_t>(red + Red);
        green = static_cast<uint16_t>(green + Green);
        blue = static_cast<uint16_t>(blue + Blue);
    }
    if (plat::Failed(FGammaControl->SetGammaRamp(0, &ramp))) {
        FailRamp("Cannot SetGammaRamp");
        return;
    }
    SetBrightnessEnabled(false);
}

void TKss::FailRamp(const char* Text)
{
    SetErrorResult(Text);
    CloseDirectDraw();
    if (OnError)
        OnError(this);
}

bool TKss::SetMasterMixVolume(uint32_t Volume)
{
    uint32_t before = 0;
    if (!plat::ReadMasterVolume(before))
        return false;
    // Formed in 32 bits like the setting's own arithmetic: 200 -> 51199, 256 -> 65535.
    const uint32_t level = (Volume * 65535u) >> 8;
    if (!plat::WriteMasterVolume(level))
        return false;
    // An enable while the saver's own value is in force keeps the user's value from the first.
    if (!FVolumeKept)
        FVolumeBefore = before;
    FVolumeKept = true;
    // What the control holds after the write, rounded to its own steps: how the saver's value is
    // recognised at the end.
    if (!plat::ReadMasterVolume(FVolumeSet))
        FVolumeSet = level;
    plat::PledgeVolumeAtExit(FVolumeBefore, FVolumeSet);
    return true;
}

// The user's volume comes back when the saver ends; a volume someone changed meanwhile stays.
void TKss::GiveBackMasterMixVolume()
{
    if (!FVolumeKept)
        return;
    FVolumeKept = false;
    plat::WithdrawVolumeAtExit();
    plat::GiveVolumeBack(FVolumeBefore, FVolumeSet);
}

void TKss::SetErrorResult(const std::string& Text)
{
    std::lock_guard<std::mutex> guard(FTextLock);
    FErrorResult = Text;
}

std::string TKss::GetErrorResult() const
{
    std::lock_guard<std::mutex> guard(FTextLock);
    return FErrorResult;
}

void TKss::SetInterval(int32_t Ms)
{
    // A period below 1 ms would stop the timer from starting and divide by zero here.
    FTimerDelay = Ms < 1 ? 1 : Ms;
    FBigTickPeriod = (1000 / FTimerDelay) * 20;
}

void TKss::SetWidthScreen(int32_t Value)
{
    FWidthScreen = Value;
    Width = Value;
}

void TKss::SetHeightScreen(int32_t Value)
{
    FHeightScreen = Value;
    Height = Value;
}

void TKss::StoreTestString(int Index, const std::string& Value)
{
    std::lock_guard<std::mutex> guard(FTextLock);
    FTestString[Index] = Value;
}

TForm* TKss::OwnerForm() const
{
    return dynamic_cast<TForm*>(Owner());
}
