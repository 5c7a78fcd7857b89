// The display host while nobody sees its window: no frame is drawn (the frame thread stopped), the
// application hears it and holds its timers back, and the first frame after comes at once. Run
// under ThreadSanitizer with tools/tsan.sh (the frame thread starts and stops).
#include "engine/Kss.h"

#include "engine/Form.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A headless window that somebody may or may not see, as a locker or a powered-off monitor decides.
class SightScreen : public plat::HeadlessScreen {
public:
    bool Seen() const override { return Visible; }
    std::atomic<bool> Visible{true};
};

class KssSightTest : public TempConfigHome {
protected:
    void Open(int32_t IntervalMs)
    {
        auto screen = std::make_unique<SightScreen>();
        Screen = screen.get();
        Form = std::make_unique<TForm>(nullptr, App, std::move(screen));
        Host = new TKss(Form.get());
        Host->SetBrandName("Kestrin Software");
        Host->SetSSName("Solvane Screensaver");
        Host->OnTimer = [this](TObject*) { ++Frames; };
        Host->SetUseIdle(false);
        Host->SetInterval(IntervalMs);
        Host->SetEnabled(true);
        Host->SetTimerEnabled(true);
        App.OnSight = [this](bool Seen) { Heard.push_back(Seen); };
    }

    // Passes of the loop for a while, the way Run makes them.
    void Pump(std::chrono::milliseconds For)
    {
        const auto end = Clock::now() + For;
        while (Clock::now() < end) {
            App.ProcessMessages();
            std::this_thread::sleep_for(5ms);
        }
    }

    // What the frames and the loop write to outlives them.
    std::atomic<int> Frames{0};
    std::vector<bool> Heard;
    plat::Application App;
    std::unique_ptr<TForm> Form;
    SightScreen* Screen = nullptr;
    TKss* Host = nullptr;
};

}  // namespace

TEST_F(KssSightTest, UnseenDrawsNothingAndSeenAgainDrawsAtOnce)
{
    Open(45);
    Pump(200ms);
    ASSERT_GT(Frames.load(), 0);

    Screen->Visible = false;
    App.ProcessMessages();
    EXPECT_FALSE(App.Seen());
    const int stopped = Frames.load();
    Pump(300ms);
    EXPECT_EQ(Frames.load(), stopped) << "frames drawn while nobody sees the window";
    EXPECT_TRUE(Host->GetTimerEnabled()) << "the timer's setting is the saver's, not the sight's";

    // A period far longer than the wait: only a frame drawn at once can come in time.
    Host->SetTimerEnabled(false);
    Host->SetInterval(5000);
    Host->SetTimerEnabled(true);
    Screen->Visible = true;
    App.ProcessMessages();
    const auto seen = Clock::now();
    while (Frames.load() == stopped && Clock::now() - seen < 2s)
        std::this_thread::sleep_for(1ms);
    EXPECT_GT(Frames.load(), stopped) << "no frame at once when seen again";
    EXPECT_TRUE(App.Seen());
    EXPECT_EQ(Heard, (std::vector<bool>{false, true}));
    Host->SetEnabled(false);
}

TEST_F(KssSightTest, AClosedHostCountsAsSeenAndAStoppedTimerStaysStopped)
{
    Open(45);
    Screen->Visible = false;
    App.ProcessMessages();
    Host->SetTimerEnabled(false);
    Screen->Visible = true;
    App.ProcessMessages();
    const int frames = Frames.load();
    Pump(150ms);
    EXPECT_EQ(Frames.load(), frames) << "seen again restarted a timer the saver had stopped";

    Screen->Visible = false;
    App.ProcessMessages();
    EXPECT_FALSE(App.Seen());
    Host->SetEnabled(false);
    App.ProcessMessages();
    EXPECT_TRUE(App.Seen());
}
