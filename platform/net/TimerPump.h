// plat::TimerPump: a message pump with timers alone, for a program without windows (the feed
// tool, a test) and the table of window timers inside the application object. A pass fires the
// timers that are due; a handler may kill or set timers, its own included.
#pragma once

#include "platform/net/MessagePump.h"

#include <chrono>
#include <map>

namespace plat {

class TimerPump final : public MessagePump {
public:
    using Clock = std::chrono::steady_clock;

    void ProcessMessages() override;
    int SetTimer(uint32_t IntervalMs, Task OnTimer) override;
    void KillTimer(int Id) override;
    // When the next timer is due; time_point::max() while there is none.
    Clock::time_point NextDue() const;

private:
    struct Timer {
        std::chrono::milliseconds Interval;
        Clock::time_point Due;
        Task OnTimer;
    };

    std::map<int, Timer> FTimers;
    int FNextId = 1;
};

}  // namespace plat
