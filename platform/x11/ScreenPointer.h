// The pointer's position on the X screen (root window coordinates), asked of the server on a
// connection of its own. SDL answers the same question from a cache that it refreshes only on
// raw motion events, which some servers (Xvfb) never send for synthetic input. UI thread.
#pragma once

#include <memory>

namespace plat {

class ScreenPointer {
public:
    ScreenPointer();
    ~ScreenPointer();
    ScreenPointer(const ScreenPointer&) = delete;
    ScreenPointer& operator=(const ScreenPointer&) = delete;

    // False when there is no X server to ask.
    bool Query(int& X, int& Y);

private:
    struct Connection;
    std::unique_ptr<Connection> FConnection;
};

}  // namespace plat
