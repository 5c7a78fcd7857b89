// The frame timer's guarantees that the display host's shutdown relies on: killing waits for a
// callback in progress, no tick comes after the kill, a callback may kill its own timer, and
// the timers end with their owner.
#include "platform/timer/MultimediaTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Probe {
    std::atomic<int> Ticks{0};
    std::atomic<bool> InCallback{false};
    std::atomic<uint32_t> KillOwnId{0};
    std::chrono::milliseconds Work{0};
    plat::MultimediaTimers* Timers = nullptr;
};

void CountTick(uint32_t, void* User)
{
    auto* probe = static_cast<Probe*>(User);
    probe->InCallback = true;
    std::this_thread::sleep_for(probe->Work);
    ++probe->Ticks;
    probe->InCallback = false;
}

void KillSelf(uint32_t Id, void* User)
{
    auto* probe = static_cast<Probe*>(User);
    ++probe->Ticks;
    probe->KillOwnId = Id;
    probe->Timers->timeKillEvent(Id);
}

bool WaitFor(const std::atomic<int>& Value, int Wanted)
{
    for (int i = 0; i < 400 && Value.load() < Wanted; ++i)
        std::this_thread::sleep_for(5ms);
    return Value.load() >= Wanted;
}

}  // namespace

TEST(MultimediaTimerTest, TicksRepeatUntilKilledAndNeverAfter)
{
    plat::MultimediaTimers timers;
    Probe probe;
    const uint32_t id = timers.timeSetEvent(5, CountTick, &probe);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor(probe.Ticks, 3));
    timers.timeKillEvent(id);
    const int atKill = probe.Ticks.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(probe.Ticks.load(), atKill);
}

TEST(MultimediaTimerTest, KillWaitsForTheCallbackInProgress)
{
    plat::MultimediaTimers timers;
    Probe probe;
    probe.Work = 40ms;
    const uint32_t id = timers.timeSetEvent(1, CountTick, &probe);
    ASSERT_NE(id, 0u);
    while (!probe.InCallback.load())
        std::this_thread::sleep_for(1ms);
    timers.timeKillEvent(id);
    EXPECT_FALSE(probe.InCallback.load());
    EXPECT_GE(probe.Ticks.load(), 1);
}

TEST(MultimediaTimerTest, CallbackMayKillItsOwnTimer)
{
    plat::MultimediaTimers timers;
    Probe probe;
    probe.Timers = &timers;
    const uint32_t id = timers.timeSetEvent(2, KillSelf, &probe);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor(probe.Ticks, 1));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(probe.Ticks.load(), 1);
    EXPECT_EQ(probe.KillOwnId.load(), id);
    timers.timeKillEvent(id);  // Already gone: ignored.
}

TEST(MultimediaTimerTest, ZeroPeriodIsRefusedAndUnknownIdsIgnored)
{
    plat::MultimediaTimers timers;
    Probe probe;
    EXPECT_EQ(timers.timeSetEvent(0, CountTick, &probe), 0u);
    EXPECT_EQ(timers.timeSetEvent(5, nullptr, &probe), 0u);
    timers.timeKillEvent(0);
    timers.timeKillEvent(0xFFFFFFF0u);
}

TEST(MultimediaTimerTest, TwoTimersHaveDistinctIdsAndRunIndependently)
{
    plat::MultimediaTimers timers;
    Probe a;
    Probe b;
    const uint32_t idA = timers.timeSetEvent(3, CountTick, &a);
    const uint32_t idB = timers.timeSetEvent(3, CountTick, &b);
    EXPECT_NE(idA, idB);
    EXPECT_TRUE(WaitFor(a.Ticks, 2));
    timers.timeKillEvent(idA);
    const int bBefore = b.Ticks.load();
    EXPECT_TRUE(WaitFor(b.Ticks, bBefore + 2));
    timers.timeKillEvent(idB);
}

TEST(MultimediaTimerTest, TimersStillRunningEndWithTheirOwner)
{
    Probe probe;
    probe.Work = 20ms;
    {
        plat::MultimediaTimers timers;
        ASSERT_NE(timers.timeSetEvent(1, CountTick, &probe), 0u);
        while (!probe.InCallback.load())
            std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(probe.InCallback.load());
    const int atEnd = probe.Ticks.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(probe.Ticks.load(), atEnd);
}

TEST(MultimediaTimerTest, ClockAdvancesInMilliseconds)
{
    const uint32_t before = plat::timeGetTime();
    std::this_thread::sleep_for(20ms);
    const uint32_t elapsed = plat::timeGetTime() - before;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 2000u);
}
