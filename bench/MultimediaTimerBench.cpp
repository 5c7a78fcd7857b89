// How closely the frame timer keeps its period: 100 ticks of 45 ms, as the saver runs them.
// Counters: drift_ms, how late the 100th tick came against start + 100 periods; worst_late_ms,
// the latest single tick against its own deadline. The frame loop needs both to stay small (the
// earlier timer on SDL_AddTimer drifted about 16 ms per 100 ticks).
#include "platform/timer/MultimediaTimer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct TickLog {
    Clock::time_point Start;
    std::atomic<int> Ticks{0};
    Clock::time_point Last;
    double WorstLateMs = 0;
};

constexpr int kTicks = 100;
constexpr int kPeriodMs = 45;

void RecordTick(uint32_t, void* User)
{
    auto* log = static_cast<TickLog*>(User);
    const auto now = Clock::now();
    const int tick = log->Ticks.load() + 1;
    if (tick > kTicks)
        return;
    const auto due = log->Start + std::chrono::milliseconds(kPeriodMs * tick);
    const double late = std::chrono::duration<double, std::milli>(now - due).count();
    if (late > log->WorstLateMs)
        log->WorstLateMs = late;
    log->Last = now;
    log->Ticks.store(tick);
}

void BM_FrameTimerDrift(benchmark::State& State)
{
    for (auto _ : State) {
        plat::MultimediaTimers timers;
        TickLog log;
        log.Start = Clock::now();
        const uint32_t id = timers.timeSetEvent(kPeriodMs, RecordTick, &log);
        while (log.Ticks.load() < kTicks)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        timers.timeKillEvent(id);
        const auto expected = log.Start + std::chrono::milliseconds(kPeriodMs * kTicks);
        State.counters["drift_ms"] = std::chrono::duration<double, std::milli>(log.Last - expected).count();
        State.counters["worst_late_ms"] = log.WorstLateMs;
    }
}

}  // namespace

BENCHMARK(BM_FrameTimerDrift)->Iterations(1)->Unit(benchmark::kMillisecond);
