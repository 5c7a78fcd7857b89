// Where the idle watcher learns that nobody has used the session for its idle time: the
// compositor's idle notification, GNOME's idle monitor or the X server's screensaver timer. Each
// counts from its start, from the last input and from a Restart, and each honours the
// inhibitions its desktop knows (a Wayland surface's idle-inhibit, XScreenSaverSuspend), so it
// never reports idleness the desktop itself holds back.
#pragma once

namespace plat {

enum class TIdleNews {
    Nothing,  // nothing that concerns the watcher
    Idle,  // nobody used the session for the idle time (once until input, Restart or Resume)
    Gone,  // the display or bus went away: the session has ended
};

class IdleSource {
public:
    virtual ~IdleSource() = default;

    // What the watcher tells the user it watches (one line at its start).
    virtual const char* Name() const = 0;
    // The descriptor to wait on for news, or -1 when the source rides on the session bus (its news
    // arrives while the bus is processed).
    virtual int Descriptor() const = 0;
    // Reads what arrived; called when the descriptor is readable, or after the bus was processed.
    virtual TIdleNews Read() = 0;
    // Counts the idle time anew from now, as input would: an inhibition ended, or a program
    // simulated activity.
    virtual void Restart() = 0;
    // After the saver ended: the idle time counts from the input since the last Idle news (what
    // ended the saver), or from now when there was none.
    virtual void Resume() = 0;
};

}  // namespace plat
