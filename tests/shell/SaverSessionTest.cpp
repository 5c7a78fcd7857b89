// The saver's windows over a desktop of several monitors, on headless screens: one window per
// monitor, the companions showing the main window's gadget values, monitors that come and go
// followed, the main window moving when its own monitor goes.
#include "shell/SaverSession.h"
#include "engine/Kss.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "platform/types/DisplayList.h"
#include "shell/Scene.h"
#include "shell/Unit1.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class ChangingDisplays : public plat::DisplayList {
public:
    int Count() const override { return static_cast<int>(Monitors.size()); }
    plat::TRect Bounds(int Index) const override { return Monitors.at(static_cast<size_t>(Index)); }
    std::vector<plat::TRect> Monitors;
};

constexpr plat::TRect kLeft{0, 0, 1920, 1080};
constexpr plat::TRect kRight{1920, 0, 3840, 1080};

plat::TRect MonitorOf(TForm1* Form)
{
    return Form->Screen()->PinnedMonitor();
}

class SaverSessionTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        // No feeds: nothing here may reach for the network.
        TKssSettings settings;
        settings.SetBrandName("Kestrin Software");
        settings.SetSSName("Solvane Screensaver");
        settings.SetRegistry();
        settings.WriteRKey("ShowWeather", 0);
        settings.WriteRKey("ShowNews", 0);
        Monitors->Monitors = {kLeft, kRight, kLeft};  // the third mirrors the first
    }

    plat::Application App;
    std::shared_ptr<ChangingDisplays> Monitors = std::make_shared<ChangingDisplays>();
};

}  // namespace

TEST_F(SaverSessionTest, OneWindowPerMonitorFollowingTheMonitors)
{
    TSaverSession session(App, Monitors, false);
    session.MakeScreen = [] { return std::make_unique<plat::HeadlessScreen>(); };
    session.Start();
    ASSERT_EQ(session.WindowCount(), 2);
    EXPECT_EQ(MonitorOf(session.Main()), kLeft);
    EXPECT_EQ(MonitorOf(session.Companion(0)), kRight);
    EXPECT_TRUE(session.Main()->Kss1->GetTimerEnabled());
    EXPECT_TRUE(session.Companion(0)->Kss1->GetTimerEnabled());

    // What the main window's feeds read reaches the companion.
    session.Main()->Scene->KGW1->SetTodayNow("71");
    session.Main()->Scene->KGR1->SetNameNews("Harbour Gazette");
    for (int pass = 0; pass < 100 && session.Companion(0)->Scene->KGW1->GetTodayNow() != "71"; ++pass) {
        App.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(session.Companion(0)->Scene->KGW1->GetTodayNow(), "71");
    EXPECT_EQ(session.Companion(0)->Scene->KGR1->GetNameNews(), "Harbour Gazette");

    Monitors->Monitors = {kLeft};
    session.FollowMonitors();
    EXPECT_EQ(session.WindowCount(), 1);
    EXPECT_FALSE(App.Terminated()) << "a companion going ended the saver";

    // The main window's own monitor goes: it moves to the one that is left.
    Monitors->Monitors = {kRight};
    session.FollowMonitors();
    ASSERT_EQ(session.WindowCount(), 1);
    EXPECT_EQ(MonitorOf(session.Main()), kRight);

    Monitors->Monitors = {kLeft, kRight};
    session.FollowMonitors();
    ASSERT_EQ(session.WindowCount(), 2);
    EXPECT_EQ(MonitorOf(session.Companion(0)), kLeft);
    EXPECT_TRUE(session.Companion(0)->Kss1->GetTimerEnabled());

    session.Main()->ExitSaver();
    EXPECT_TRUE(App.Terminated());
    session.Stop();
    EXPECT_TRUE(session.Companion(0)->Closed());
}
