// A connection to a message bus through sd-bus: the user's session bus, which the idle watcher
// waits on beside its display, or the system bus for one question. The watcher is
// single-threaded: everything that arrives is dispatched by Process on its thread.
#pragma once

#include <memory>

struct sd_bus;

namespace plat {

class Bus {
public:
    // The session bus of DBUS_SESSION_BUS_ADDRESS, or null when there is none.
    static std::unique_ptr<Bus> Session();
    // The system bus, or null when none runs (a container).
    static std::unique_ptr<Bus> System();
    ~Bus();
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    // The descriptor and poll events to wait for before the next Process.
    int Descriptor() const;
    short Events() const;
    // Dispatches everything that arrived or is queued (a blocking call may have queued messages
    // without the descriptor being readable again); false once the connection is gone.
    bool Process();
    // Whether some connection owns the well-known name.
    bool HasOwner(const char* Name) const;
    sd_bus* Handle() const { return FBus; }

private:
    explicit Bus(sd_bus* Handle) : FBus(Handle) {}
    sd_bus* FBus;
};

}  // namespace plat
