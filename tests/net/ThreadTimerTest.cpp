// The time-out timer fires once per TimerOn, and switching it on again while it runs keeps the
// countdown that is already going.
#include "net/Sockclient.h"
#include "platform/app/Application.h"
#include "platform/net/MemoryStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class TimeOutTimer : public testing::Test {
protected:
    void SetUp() override
    {
        Client.TimeOut = 60;
        Client.ReportLevel = 8;
        Client.OnStatus = [this](TObject*, const std::string& Text) {
            if (Text == "Timer Triggered") {
                ++Fired;
            }
        };
    }
    void PumpFor(int Ms)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(Ms);
        while (Clock::now() < end) {
            plat::App().ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    plat::MemoryNet Net;
    TSockClient Client{nullptr, plat::App(), Net};
    int Fired = 0;
};

TEST_F(TimeOutTimer, FiresOncePerTimerOnAndCancels)
{
    Client.TimerOn();
    PumpFor(250);
    EXPECT_EQ(Fired, 1);
    EXPECT_TRUE(Client.TimedOut());
    EXPECT_TRUE(Client.Canceled());
}

// Told by order, not by the clock: a marker timer of the same length set between the two
// switch-ons comes due after the running countdown and before a restarted one (and, due in the
// same pass, the timers fire in the order they were made).
TEST_F(TimeOutTimer, SecondTimerOnKeepsTheRunningCountdown)
{
    Client.TimeOut = 100;
    Client.TimerOn();
    plat::App().ProcessMessages();
    int firedBeforeMarker = -1;
    const int marker = plat::App().SetTimer(100, [&] {
        if (firedBeforeMarker < 0)
            firedBeforeMarker = Fired;
    });
    Client.TimerOn();
    while (firedBeforeMarker < 0) {
        plat::App().ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    plat::App().KillTimer(marker);
    EXPECT_EQ(firedBeforeMarker, 1);
    PumpFor(150);
    EXPECT_EQ(Fired, 1);
}

TEST_F(TimeOutTimer, ZeroTimeOutRunsNoTimer)
{
    Client.TimeOut = 0;
    Client.TimerOn();
    PumpFor(80);
    EXPECT_EQ(Fired, 0);
    EXPECT_FALSE(Client.Canceled());
}

}  // namespace
