// The UI thread's application object: the message loop and one pass of "process pending
// messages", window timers, work posted from other threads, and the idle, activate and deactivate
// events.
//
// Everything here runs on the thread that calls Run or ProcessMessages (the UI thread), except
// Post and Synchronize, which other threads call. Window timers fire only inside a pass of
// ProcessMessages, like the window system's timers they stand for, so code that waits on the UI
// thread keeps them (and input) flowing by calling ProcessMessages between slices of its wait.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace plat {

class Application {
public:
    using Task = std::function<void()>;

    Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs passes of ProcessMessages until Terminate, sleeping while there is nothing to do.
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }

    // One pass: due window timers, then the work posted so far.
    void ProcessMessages();

    // Any thread: queue work for the UI thread.
    void Post(Task ATask);
    // Another thread: run the work on the UI thread and wait for it; what it throws is rethrown
    // here. Returns false without running it once the application has terminated.
    bool Synchronize(const Task& ATask);

    // Window timers: OnTimer runs on the UI thread every Interval ms while the timer exists.
    int SetTimer(uint32_t IntervalMs, Task OnTimer);
    void KillTimer(int Id);

    Task OnIdle;
    Task OnActivate;
    Task OnDeactivate;

private:
    using Clock = std::chrono::steady_clock;
    struct WindowTimer {
        std::chrono::milliseconds Interval;
        Clock::time_point Due;
        Task OnTimer;
    };

    void FireDueTimers();
    void RunPosted();
    void WaitForWork();

    bool FTerminated = false;
    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<Task> FPosted;
    std::map<int, WindowTimer> FTimers;
    int FNextTimerId = 1;
};

// The process's application object.
Application& App();

}  // namespace plat
