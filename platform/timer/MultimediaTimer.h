// The periodic frame timer and the millisecond clock.
//
// The timers live in a registry with an owner (the application object, Application::FrameTimers):
// timeSetEvent starts a timer whose callback runs on a thread of its own every DelayMs
// milliseconds. Ticks are scheduled against absolute deadlines on the monotonic clock, so a slow
// callback does not push the later ticks back; a callback that overruns a whole period is not
// followed by a burst of catch-up ticks. timeKillEvent stops a timer and, when called from any
// other thread, waits until a callback in progress has returned; called from inside the timer's
// own callback it only stops further ticks. Destroying the registry kills the timers still
// running. timeGetTime is the monotonic clock in milliseconds (it wraps after about 49 days, like
// the value it stands for).
#pragma once

#include <cstdint>
#include <memory>

    namespace plat
{
    using TimerProc = void (*)(uint32_t TimerId, void* User);

    class MultimediaTimers {
    public:
        MultimediaTimers();
        ~MultimediaTimers();
        MultimediaTimers(const MultimediaTimers&) = delete;
        MultimediaTimers& operator=(const MultimediaTimers&) = delete;

        // Returns the timer's id (never 0), or 0 when DelayMs is 0 or no thread could be started.
        uint32_t timeSetEvent(uint32_t DelayMs, TimerProc Proc, void* User);
        // The same with the first tick FirstMs after the start (0: at once) instead of one period.
        uint32_t timeSetEvent(uint32_t DelayMs, uint32_t FirstMs, TimerProc Proc, void* User);
        // Unknown or already killed ids are ignored.
        void timeKillEvent(uint32_t TimerId);

        struct Registry;

    private:
        std::unique_ptr<Registry> FRegistry;
    };

    uint32_t timeGetTime();

}  // namespace plat
