// The frame timer's guarantees that the display host's shutdown relies on: killing waits for a
// callback in progress, no tick comes after the kill, and a callback may kill its own timer.
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
    plat::timeKillEvent(Id);
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
    Probe probe;
    const uint32_t id = plat::timeSetEvent(5, CountTick, &probe);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor(probe.Ticks, 3));
    plat::timeKillEvent(id);
    const int atKill = probe.Ticks.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(probe.Ticks.load(), atKill);
}

TEST(MultimediaTimerTest, KillWaitsForTheCallbackInProgress)
{
    Probe probe;
    probe.Work = 40ms;
    const uint32_t id = plat::timeSetEvent(1, CountTick, &probe);
    ASSERT_NE(id, 0u);
    while (!probe.InCallback.load())
        std::this_thread::sleep_for(1ms);
    plat::timeKillEvent(id);
    EXPECT_FALSE(probe.InCallback.load());
    EXPECT_GE(probe.Ticks.load(), 1);
}

TEST(MultimediaTimerTest, CallbackMayKillItsOwnTimer)
{
    Probe probe;
    const uint32_t id = plat::timeSetEvent(2, KillSelf, &probe);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor(probe.Ticks, 1));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(probe.Ticks.load(), 1);
    EXPECT_EQ(probe.KillOwnId.load(), id);
    plat::timeKillEvent(id);  // Already gone: ignored.
}

TEST(MultimediaTimerTest, ZeroPeriodIsRefusedAndUnknownIdsIgnored)
{
    Probe probe;
    EXPECT_EQ(plat::timeSetEvent(0, CountTick, &probe), 0u);
    EXPECT_EQ(plat::timeSetEvent(5, nullptr, &probe), 0u);
    plat::timeKillEvent(0);
    plat::timeKillEvent(0xFFFFFFF0u);
}

TEST(MultimediaTimerTest, TwoTimersHaveDistinctIdsAndRunIndependently)
{
    Probe a;
    Probe b;
    const uint32_t idA = plat::timeSetEvent(3, CountTick, &a);
    const uint32_t idB = plat::timeSetEvent(3, CountTick, &b);
    EXPECT_NE(idA, idB);
    EXPECT_TRUE(WaitFor(a.Ticks, 2));
    plat::timeKillEvent(idA);
    const int bBefore = b.Ticks.load();
    EXPECT_TRUE(WaitFor(b.Ticks, bBefore + 2));
    plat::timeKillEvent(idB);
}

TEST(MultimediaTimerTest, ClockAdvancesInMilliseconds)
{
    const uint32_t before = plat::timeGetTime();
    std::this_thread::sleep_for(20ms);
    const uint32_t elapsed = plat::timeGetTime() - before;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 2000u);
}
