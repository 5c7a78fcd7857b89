// plat::MessagePump: what the network client's waits need of the thread they run on. A wait
// blocks on its socket in short slices and calls ProcessMessages between them, so the thread's
// timers (the client's own time-out among them) and, in a program with windows, its input keep
// flowing. Timers fire only inside ProcessMessages, on the thread that calls it.
//
// The saver's and the dialog's application object is one (platform/app/Application.h); a program
// without windows uses a TimerPump (TimerPump.h). The network code asks for nothing else of
// them, so it maps no display, sound or window-system library.
#pragma once

#include <cstdint>
#include <functional>

namespace plat {

class MessagePump {
public:
    using Task = std::function<void()>;

    // One pass: whatever is pending now, due timers included; never waits.
    virtual void ProcessMessages() = 0;
    // OnTimer runs inside a pass every IntervalMs ms while the timer exists; returns its id.
    virtual int SetTimer(uint32_t IntervalMs, Task OnTimer) = 0;
    virtual void KillTimer(int Id) = 0;

protected:
    ~MessagePump() = default;
};

}  // namespace plat
