// Each timer is one thread sleeping on a condition variable until its next absolute deadline;
// the condition variable lets timeKillEvent wake it at once instead of waiting out the period.
#include "platform/timer/MultimediaTimer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

struct TimerThread {
    std::mutex Lock;
    std::condition_variable Wake;
    bool Stop = false;
    std::thread Thread;
};

void RunTicks(const std::shared_ptr<TimerThread>& Timer, uint32_t Id, uint32_t DelayMs, uint32_t FirstMs,
              TimerProc Proc, void* User)
{
    const std::chrono::milliseconds period(DelayMs);
    Clock::time_point next = Clock::now() + std::chrono::milliseconds(FirstMs);
    std::unique_lock<std::mutex> guard(Timer->Lock);
    for (;;) {
        if (Timer->Wake.wait_until(guard, next, [&] { return Timer->Stop; }))
            return;
        guard.unlock();
        Proc(Id, User);
        guard.lock();
        next += period;
        // After an overrun of more than a period, start counting again from now rather than
        // firing the missed ticks back to back.
        const auto now = Clock::now();
        if (next + period < now)
            next = now;
    }
}

}  // namespace

// The live timers by id; the map only hands out shared ownership, a timer's thread keeps its
// own reference so that a timer killed from its own callback can finish safely.
struct MultimediaTimers::Registry {
    std::mutex Lock;
    std::map<uint32_t, std::shared_ptr<TimerThread>> Timers;
    uint32_t NextId = 1;
};

MultimediaTimers::MultimediaTimers() : FRegistry(std::make_unique<Registry>()) {}

MultimediaTimers::~MultimediaTimers()
{
    for (;;) {
        uint32_t id = 0;
        {
            std::lock_guard<std::mutex> guard(FRegistry->Lock);
            if (FRegistry->Timers.empty())
                return;
            id = FRegistry->Timers.begin()->first;
        }
        timeKillEvent(id);
    }
}

uint32_t MultimediaTimers::timeSetEvent(uint32_t DelayMs, TimerProc Proc, void* User)
{
    return timeSetEvent(DelayMs, DelayMs, Proc, User);
}

uint32_t MultimediaTimers::timeSetEvent(uint32_t DelayMs, uint32_t FirstMs, TimerProc Proc, void* User)
{
    if (DelayMs == 0 || Proc == nullptr)
        return 0;
    auto timer = std::make_shared<TimerThread>();
    Registry& registry = *FRegistry;
    std::lock_guard<std::mutex> guard(registry.Lock);
    uint32_t id = registry.NextId++;
    if (id == 0)
        id = registry.NextId++;
    try {
        // A callback that kills its own timer takes the registry lock too, so even a first tick
        // that comes before the emplace below finds its id.
        timer->Thread = std::thread(
            [timer, id, DelayMs, FirstMs, Proc, User] { RunTicks(timer, id, DelayMs, FirstMs, Proc, User); });
    } catch (const std::system_error&) {
        return 0;
    }
    registry.Timers.emplace(id, std::move(timer));
    return id;
}

void MultimediaTimers::timeKillEvent(uint32_t TimerId)
{
    std::shared_ptr<TimerThread> timer;
    {
        Registry& registry = *FRegistry;
        std::lock_guard<std::mutex> guard(registry.Lock);
        auto it = registry.Timers.find(TimerId);
        if (it == registry.Timers.end())
            return;
        timer = std::move(it->second);
        registry.Timers.erase(it);
    }
    {
        std::lock_guard<std::mutex> guard(timer->Lock);
        timer->Stop = true;
    }
    timer->Wake.notify_all();
    if (timer->Thread.get_id() == std::this_thread::get_id())
        timer->Thread.detach();  // Killed from its own callback: it ends when the callback returns.
    else
        timer->Thread.join();
}

uint32_t timeGetTime()
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

}  // namespace plat
