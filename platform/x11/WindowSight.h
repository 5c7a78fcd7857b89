// Whether anybody can see an X window: it is mapped, not fully covered by other windows (a screen
// locker over it), and the monitors are not powered off (DPMS, one level for the whole server).
//
// The watcher keeps an X connection of its own (XCB, which reports a lost server instead of ending
// the process) and a thread that sleeps on it: the window's visibility and map changes arrive as
// events, so a window that stays as it is costs no wake-up. The DPMS level comes with no event that
// the libraries deliver, so where the server offers DPMS it is asked every two seconds. OnChange
// runs on the watcher's thread each time the answer changes; Seen() may be asked from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace plat {

class WindowSight {
public:
    // Watches Window on the X server DisplayName names (as XOpenDisplay takes it). Without a
    // server to ask, the window counts as seen.
    WindowSight(const std::string& DisplayName, uint32_t Window, std::function<void()> OnChange);
    // Stops and joins the thread.
    ~WindowSight();
    WindowSight(const WindowSight&) = delete;
    WindowSight& operator=(const WindowSight&) = delete;

    bool Seen() const { return FSeen.load(std::memory_order_acquire); }
    // Unseen because another window lies over the whole of it (what a screen locker does).
    bool Covered() const { return FCoveredSeen.load(std::memory_order_acquire); }

private:
    struct Connection;
    void Run();
    // Takes every event that has arrived.
    void TakeEvents();
    void AskPowerLevel();
    // Publishes the answer and calls OnChange when it changed.
    void Decide();

    std::unique_ptr<Connection> FConnection;
    std::function<void()> FOnChange;
    std::atomic<bool> FSeen{true};
    std::atomic<bool> FCoveredSeen{false};
    // Watcher thread only after the start.
    bool FMapped = true;
    bool FCovered = false;
    bool FPoweredOff = false;
    int FStop = -1;  // an eventfd that ends the thread's wait
    std::thread FThread;
};

}  // namespace plat
