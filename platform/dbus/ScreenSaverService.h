// `org.freedesktop.ScreenSaver` served by the idle watcher where no desktop owns that name (plain
// X11 window managers, sway and the like): browsers, video players and SDL ask it to keep the
// screen on. Inhibit, UnInhibit, SimulateUserActivity and GetActive at /org/freedesktop/ScreenSaver
// and /ScreenSaver, and ActiveChanged when the saver comes or goes. An inhibition ends with its
// UnInhibit or when its caller leaves the bus, whichever comes first, so a program that crashed
// holds nothing off. Calls arrive while the bus is processed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

struct sd_bus_slot;
struct sd_bus_track;

namespace plat {

class Bus;

class ScreenSaverService {
public:
    // Serves the name on Session (which must outlive the service) when nobody owns it.
    explicit ScreenSaverService(Bus& Session);
    ~ScreenSaverService();
    ScreenSaverService(const ScreenSaverService&) = delete;
    ScreenSaverService& operator=(const ScreenSaverService&) = delete;

    // False when a desktop owns the name (its own idle monitor then applies the inhibitions).
    bool Serving() const { return FServing; }
    bool Inhibited() const { return !FInhibitions.empty(); }
    // What GetActive answers: whether the saver runs; a change is announced with ActiveChanged.
    void SetActive(bool Active);

    // Called when the idle time should count anew: the last inhibition ended, or a program
    // simulated user activity.
    std::function<void()> OnActivity;

private:
    struct Inhibition {
        ScreenSaverService* Service;
        uint32_t Cookie;
        sd_bus_track* Caller;
    };
    struct Methods;  // the bus's entry points
    void Release(uint32_t Cookie);

    Bus& FBus;
    bool FServing = false;
    bool FActive = false;
    uint32_t FLastCookie = 0;
    sd_bus_slot* FObjects[2] = {};
    std::map<uint32_t, std::unique_ptr<Inhibition>> FInhibitions;
};

}  // namespace plat
