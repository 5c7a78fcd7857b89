#include "platform/dbus/Bus.h"

#include <systemd/sd-bus.h>

#include <cstdlib>

namespace plat {

std::unique_ptr<Bus> Bus::Session()
{
    // Without an address sd-bus would guess one from the runtime folder; a session that names
    // no bus has none for the watcher.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    sd_bus* bus = nullptr;
    if (address == nullptr || *address == '\0' || sd_bus_open_user(&bus) < 0)
        return nullptr;
    // A peer that hangs (a desktop service) must not keep the watcher from its other news long.
    sd_bus_set_method_call_timeout(bus, 2'000'000);
    return std::unique_ptr<Bus>(new Bus(bus));
}

std::unique_ptr<Bus> Bus::System()
{
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0)
        return nullptr;
    return std::unique_ptr<Bus>(new Bus(bus));
}

Bus::~Bus()
{
    sd_bus_flush_close_unref(FBus);
}

int Bus::Descriptor() const
{
    return sd_bus_get_fd(FBus);
}

short Bus::Events() const
{
    const int events = sd_bus_get_events(FBus);
    return static_cast<short>(events > 0 ? events : 0);
}

bool Bus::Process()
{
    int done = 0;
    while ((done = sd_bus_process(FBus, nullptr)) > 0) {}
    return done >= 0 && sd_bus_is_open(FBus) > 0;
}

bool Bus::HasOwner(const char* Name) const
{
    sd_bus_creds* creds = nullptr;
    const int found = sd_bus_get_name_creds(FBus, Name, 0, &creds);
    sd_bus_creds_unref(creds);
    return found >= 0;
}

}  // namespace plat
