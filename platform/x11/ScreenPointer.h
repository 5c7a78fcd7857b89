// The pointer's position on the X screen (root window coordinates), asked of the server on a
// connection of its own. SDL answers the same question from a cache that it refreshes only on
// raw motion events, which some servers (Xvfb) never send for synthetic input. The connection is
// XCB's, which reports a lost server instead of ending the process, and it follows DISPLAY: a
// server that went away or a display that changed is connected to anew at the next question.
// UI thread.
#pragma once

#include <memory>
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
    struct State {
        int X = 0, Y = 0;
        int ScreenWidth = 0, ScreenHeight = 0;
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

private:
    struct Connection;
    struct Question;
    bool Connected();
    std::unique_ptr<Connection> FConnection;
    std::unique_ptr<Question> FAsked;
};

}  // namespace plat
