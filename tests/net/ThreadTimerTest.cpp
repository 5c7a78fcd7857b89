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
                FiredAt = Clock::now();
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
    TSockClient Client{nullptr, Net};
    int Fired = 0;
    Clock::time_point FiredAt;
};

TEST_F(TimeOutTimer, FiresOncePerTimerOnAndCancels)
{
    Client.TimerOn();
    PumpFor(250);
    EXPECT_EQ(Fired, 1);
    EXPECT_TRUE(Client.TimedOut());
    EXPECT_TRUE(Client.Canceled());
}

TEST_F(TimeOutTimer, SecondTimerOnKeepsTheRunningCountdown)
{
    Client.TimeOut = 100;
    const auto start = Clock::now();
    Client.TimerOn();
    PumpFor(70);
    Client.TimerOn();
    PumpFor(200);
    ASSERT_EQ(Fired, 1);
    // A restarted countdown would fire at about 170 ms.
    EXPECT_LT(FiredAt - start, std::chrono::milliseconds(150));
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
