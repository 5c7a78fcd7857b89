// Where the idle watcher learns that nobody has used the session for its idle time: the
// compositor's idle notification, GNOME's idle monitor or the X server's screensaver timer. Each
// counts from its start, from the last input and, where nobody used the session since the last
// Idle news, from a Restart; and each honours the inhibitions its desktop knows (a Wayland
// surface's idle-inhibit, XScreenSaverSuspend), so it never reports idleness the desktop itself
// holds back.
#pragma once

namespace plat {

enum class TIdleNews {
    Nothing,  // nothing that concerns the watcher
    Idle,  // nobody used the session for the idle time (once until input or Restart)
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
    // Counts the idle time anew from now, unless the session was used since the last Idle news
    // (then it counts from that use already): after the saver ended, and after an inhibition that
    // held the saver off ended.
    virtual void Restart() = 0;
};

}  // namespace plat
