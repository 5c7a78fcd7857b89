#include "platform/net/TimerPump.h"

#include <algorithm>
#include <vector>

namespace plat {

int TimerPump::SetTimer(uint32_t IntervalMs, Task OnTimer)
{
    const int id = FNextId++;
    const std::chrono::milliseconds interval(IntervalMs);
    FTimers[id] = Timer{interval, Clock::now() + interval, std::move(OnTimer)};
    return id;
}

void TimerPump::KillTimer(int Id)
{
    FTimers.erase(Id);
}

void TimerPump::ProcessMessages()
{
    const auto now = Clock::now();
    std::vector<int> due;
    for (auto& [id, timer] : FTimers)
        if (timer.Due <= now)
            due.push_back(id);
    for (int id : due) {
        // A handler may kill its own timer or others; look each one up again.
        auto it = FTimers.find(id);
        if (it == FTimers.end())
            continue;
        it->second.Due = now + it->second.Interval;
        Task handler = it->second.OnTimer;
        handler();
    }
}

TimerPump::Clock::time_point TimerPump::NextDue() const
{
    auto next = Clock::time_point::max();
    for (const auto& [id, timer] : FTimers)
        next = std::min(next, timer.Due);
    return next;
}

}  // namespace plat
