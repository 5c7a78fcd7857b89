// The pointer's position on the X screen (root window coordinates), asked of the server on a
// connection of its own, and whether a pointing device moved it. SDL answers the position from a
// cache that it refreshes only on a device's raw motion, so a pointer put elsewhere by a program
// is missed. A window manager puts the pointer elsewhere too (awesome onto the monitor of the
// window it activates, i3 onto the output it focuses), at any time after the saver's windows
// appear, however late a busy machine lets it: only a device's raw motion (XInput 2.1, which the
// server sends for every physical device and for input sent as a device's, as remote desktops and
// xdotool's relative moves do) tells a hand on the mouse from that. The connection is XCB's,
// which reports a lost server instead of ending the process, and it follows DISPLAY: a server that
// went away or a display that changed is connected to anew at the next question. UI thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace plat {

class ScreenPointer {
public:
    ScreenPointer();
    ~ScreenPointer();
    ScreenPointer(const ScreenPointer&) = delete;
    ScreenPointer& operator=(const ScreenPointer&) = delete;

    // Where the pointer is, and how large the screen (the root window) is now: a screen that
    // changed its size (a monitor switched off or on) may have put the pointer elsewhere.
    // DeviceMoved: whether a pointing device moved the pointer away from where the last answer
    // showed it (false when only programs put it elsewhere); nothing when the server reports no
    // raw motion.
    struct State {
        int X = 0, Y = 0;
        int ScreenWidth = 0, ScreenHeight = 0;
        std::optional<bool> DeviceMoved;
    };
    // False when there is no X server to ask.
    bool Query(State& Now);
    // The same question without waiting for the answer (a round trip would wake the caller once
    // more): Ask sends it (nothing while one is out), and Answer gives the state once the reply
    // has arrived (false until then, or when there is no server to ask). Forget drops a question
    // whose answer would come too late to tell anything.
    void Ask();
    bool Answer(State& Now);
    void Forget();
    // Takes the devices' motion that came in so far without asking the server (no round trip) and
    // keeps it for the next Query: the server would otherwise gather it for as long as nobody asks.
    void KeepMotion();

private:
    struct Connection;
    struct Question;
    bool Connected();
    std::unique_ptr<Connection> FConnection;
    std::unique_ptr<Question> FAsked;
};

}  // namespace plat
