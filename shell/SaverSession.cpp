#include "shell/SaverSession.h"

#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/image/PictureDecoder.h"
#include "platform/sdl/SdlScreen.h"
#include "platform/types/DisplayList.h"
#include "shell/Scene.h"
#include "shell/Unit1.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

namespace {

// How often the monitors are compared with the windows and the gadget values copied.
constexpr uint32_t kFollowMs = 250;

bool Contains(const std::vector<plat::TRect>& Rects, const plat::TRect& Rect)
{
    return std::find(Rects.begin(), Rects.end(), Rect) != Rects.end();
}

plat::TRect MonitorOf(TForm1& Form)
{
    return Form.Screen()->PinnedMonitor();
}

}  // namespace

TSaverSession::TSaverSession(plat::Application& AApplication, std::shared_ptr<plat::DisplayList> AMonitors,
                             bool AMusicWanted)
    : MakeScreen([] { return plat::CreateSdlScreen(); }), FApplication(AApplication), FMonitors(std::move(AMonitors)),
      FMusicWanted(AMusicWanted)
{}

TSaverSession::~TSaverSession()
{
    if (FTimer != 0)
        FApplication.KillTimer(FTimer);
    // Companions first: the main window's feeds and input outlive them.
    FCompanions.clear();
    FMain.reset();
}

// Monitors that show the same part of the desktop (mirrored outputs) are covered once.
std::vector<plat::TRect> TSaverSession::MonitorRects() const
{
    std::vector<plat::TRect> rects;
    for (int i = 0; FMonitors && i < FMonitors->Count(); ++i) {
        const plat::TRect rect = FMonitors->Bounds(i);
        if (!rect.Empty() && !Contains(rects, rect))
            rects.push_back(rect);
    }
    return rects;
}

std::unique_ptr<TForm1> TSaverSession::Open(const plat::TRect& Monitor, bool Companion)
{
    auto form = std::make_unique<TForm1>(nullptr, FApplication, MakeScreen());
    if (!Monitor.Empty())
        form->Screen()->PinToMonitor(Monitor, Companion);
    form->Companion = Companion;
    form->HackMode = HackMode;
    form->MusicWanted = FMusicWanted && !Companion;
    form->OpenDisplay();
    return form;
}

// Every monitor is covered (black) before the first scene is built, which takes a while.
void TSaverSession::Start()
{
    const std::vector<plat::TRect> rects = MonitorRects();
    FMain = Open(rects.empty() ? plat::TRect{} : rects.front(), false);
    if (FMain->Closed())
        return;
    FollowMonitors();
    // Several scenes decode their pictures once; a single one decodes them itself.
    std::vector<TScenePicture> decoded;
    if (!FCompanions.empty())
        decoded = DecodeBesideTheLoop();
    if (FMain->Closed())
        return;
    const std::vector<TScenePicture>* shared = decoded.empty() ? nullptr : &decoded;
    // Every scene is built before any moves: a monitor's picture would otherwise stop while the
    // next monitor's scene is built, which on a busy machine takes seconds.
    FMain->BuildScene(shared);
    for (auto& companion : FCompanions)
        companion->BuildScene(shared);
    FMain->RunScene();
    FApplication.ProcessMessages();
    for (auto& companion : FCompanions)
        companion->RunScene();
    if (HackMode)
        return;
    FTimer = FApplication.SetTimer(kFollowMs, [this] {
        FollowMonitors();
        CopyGadgetValues();
    });
}

// The loop goes on while the pictures are decoded: a window manager places the windows meanwhile
// (i3 first puts a new window on the focused monitor) and each window is moved back where it
// belongs before any scene keeps the loop busy.
std::vector<TScenePicture> TSaverSession::DecodeBesideTheLoop()
{
    auto decoding = std::async(std::launch::async, [] {
        std::vector<TScenePicture> pictures = DecodeScenePictures(std::max(1u, std::thread::hardware_concurrency()));
        plat::EndDecodingThread();
        return pictures;
    });
    while (decoding.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        FApplication.ProcessMessages();
    return decoding.get();
}

// A quit request that came before the main window bound its handler (during the start; a signal,
// the display lost) ended the loop without its exit: it runs here, so the user's volume is given
// back all the same.
void TSaverSession::Stop()
{
    for (auto& companion : FCompanions)
        companion->ExitSaver();
    if (FMain)
        FMain->ExitSaver();
}

void TSaverSession::FollowMonitors()
{
    const std::vector<plat::TRect> rects = MonitorRects();
    // No monitor at all is a moment between two configurations: keep everything as it is.
    if (rects.empty() || !FMain || FMain->Closed())
        return;
    if (rects != FLastSeen)
        FFailed.clear();
    FLastSeen = rects;
    if (!Contains(rects, MonitorOf(*FMain)))
        FMain->Screen()->PinToMonitor(rects.front());
    std::erase_if(FCompanions, [&](std::unique_ptr<TForm1>& Companion) {
        const plat::TRect monitor = MonitorOf(*Companion);
        if (Contains(rects, monitor) && !(monitor == MonitorOf(*FMain)))
            return false;
        Companion->ExitSaver();
        return true;
    });
    for (const plat::TRect& rect : rects) {
        const bool covered = rect == MonitorOf(*FMain) ||
            std::any_of(FCompanions.begin(), FCompanions.end(),
                        [&](const auto& Companion) { return MonitorOf(*Companion) == rect; });
        if (covered || Contains(FFailed, rect))
            continue;
        std::unique_ptr<TForm1> companion = Open(rect, true);
        if (companion->Closed()) {
            FFailed.push_back(rect);
            continue;
        }
        // While the session starts, the scenes are built once every monitor is covered.
        if (FTimer != 0)
            companion->StartScene();
        FCompanions.push_back(std::move(companion));
    }
}

// The setters store only a changed text, so copying what did not change costs a comparison.
void TSaverSession::CopyGadgetValues()
{
    const TKGW& weather = *FMain->Scene->KGW1;
    const TKGR& news = *FMain->Scene->KGR1;
    for (auto& companion : FCompanions) {
        TKGW& toWeather = *companion->Scene->KGW1;
        toWeather.SetTodayCode(weather.GetTodayCode());
        toWeather.SetTomorrowCode(weather.GetTomorrowCode());
        toWeather.SetTodayNow(weather.GetTodayNow());
        toWeather.SetTomorrowLow(weather.GetTomorrowLow());
        toWeather.SetTomorrowHi(weather.GetTomorrowHi());
        TKGR& toNews = *companion->Scene->KGR1;
        toNews.SetNameNews(news.GetNameNews());
        toNews.SetRssLine(news.GetRssLine());
    }
}
