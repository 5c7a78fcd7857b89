// The frame thread against the main thread: shutdown while frames draw, overlay changes during
// frames, and two hosts side by side (which exposes state shared between hosts). Run these under
// ThreadSanitizer with tools/tsan.sh.
#include "engine/Kss.h"

#include "platform/app/Application.h"
#include "platform/gdi/DrawContext.h"
#include "platform/headless/HeadlessScreen.h"
#include "shell/Unit1.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class KssThreadTest : public TempConfigHome {
protected:
    // A saver window whose frames come every millisecond and touch the back buffer's pixels.
    static std::unique_ptr<TForm1> StartFastSaver(plat::Application& App, std::atomic<int>& Frames)
    {
        auto form = std::make_unique<TForm1>(nullptr, App, std::make_unique<plat::HeadlessScreen>());
        TKss* host = form->Kss1;
        host->OnTimer = [host, &Frames](TObject*) {
            plat::DrawContext* dc = nullptr;
            if (plat::Succeeded(host->GetBack()->GetDC(&dc))) {
                for (int x = 0; x < 64; ++x)
                    dc->SetPixel(x, 100, plat::RGB(255, 0, 0));
                host->GetBack()->ReleaseDC(dc);
            }
            ++Frames;
        };
        form->FormCreate(form.get());
        host->SetTimerEnabled(false);
        host->SetInterval(1);
        host->SetTimerEnabled(true);
        return form;
    }

    static void WaitFor(const std::atomic<int>& Value, int Wanted)
    {
        for (int i = 0; i < 400 && Value.load() < Wanted; ++i)
            std::this_thread::sleep_for(1ms);
    }
};

}  // namespace

TEST_F(KssThreadTest, ExitSaverWaitsForTheFrameInProgress)
{
    for (int round = 0; round < 15; ++round) {
        plat::Application app;
        std::atomic<int> frames{0};
        auto form = StartFastSaver(app, frames);
        WaitFor(frames, 1 + round % 4);
        form->ExitSaver();
        const int atExit = frames.load();
        std::this_thread::sleep_for(3ms);
        EXPECT_EQ(frames.load(), atExit);
        EXPECT_EQ(form->Kss1->GetBack(), nullptr);
    }
}

TEST_F(KssThreadTest, OverlaysChangeWhileFramesDraw)
{
    plat::Application app;
    std::atomic<int> frames{0};
    auto form = StartFastSaver(app, frames);
    TKss* host = form->Kss1;
    for (int i = 0; i < 200; ++i) {
        host->SetTestString(i % 2 ? "odd" : "an even longer text than that");
        host->SetShowTestString(i % 3 == 0);
        host->SetshowFPS(i % 5 == 0);
        app.ProcessMessages();
        if (i % 50 == 0)
            std::this_thread::sleep_for(1ms);
    }
    WaitFor(frames, 5);
    form->ExitSaver();
    EXPECT_GE(frames.load(), 5);
}

TEST_F(KssThreadTest, TwoHostsRunSideBySide)
{
    plat::Application appA;
    plat::Application appB;
    std::atomic<int> framesA{0};
    std::atomic<int> framesB{0};
    auto formA = StartFastSaver(appA, framesA);
    auto formB = StartFastSaver(appB, framesB);
    formA->Kss1->SetshowFPS(true);
    formB->Kss1->SetshowFPS(true);
    WaitFor(framesA, 20);
    WaitFor(framesB, 20);
    formA->ExitSaver();
    EXPECT_GE(framesB.load(), 20);
    EXPECT_NE(formB->Kss1->GetBack(), nullptr);
    formB->ExitSaver();
    EXPECT_TRUE(appA.Terminated());
    EXPECT_TRUE(appB.Terminated());
}
