#include "platform/dbus/SessionLock.h"

#include "platform/dbus/Bus.h"

#include <systemd/sd-bus.h>

namespace plat {
namespace {

constexpr uint64_t kAnswerWithin = 1'000'000;  // microseconds

bool LogindLocked()
{
    const std::unique_ptr<Bus> system = Bus::System();
    if (!system)
        return false;
    sd_bus* bus = system->Handle();
    sd_bus_set_method_call_timeout(bus, kAnswerWithin);
    int locked = 0;
    // "auto": the caller's own session, else the user's display session.
    if (sd_bus_get_property_trivial(bus, "org.freedesktop.login1", "/org/freedesktop/login1/session/auto",
                                    "org.freedesktop.login1.Session", "LockedHint", nullptr, 'b', &locked) < 0)
        return false;
    return locked != 0;
}

bool DesktopScreenSaverActive(Bus& Session)
{
    sd_bus_message* reply = nullptr;
    sd_bus_message* call = nullptr;
    int active = 0;
    if (sd_bus_message_new_method_call(Session.Handle(), &call, "org.freedesktop.ScreenSaver",
                                       "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
                                       "GetActive") >= 0 &&
        sd_bus_call(Session.Handle(), call, kAnswerWithin, nullptr, &reply) >= 0)
        sd_bus_message_read(reply, "b", &active);
    sd_bus_message_unref(call);
    sd_bus_message_unref(reply);
    return active != 0;
}

}  // namespace

bool SessionLocked(Bus* Session, bool AskDesktop)
{
    if (LogindLocked())
        return true;
    return Session != nullptr && AskDesktop && Session->HasOwner("org.freedesktop.ScreenSaver") &&
        DesktopScreenSaverActive(*Session);
}

}  // namespace plat
