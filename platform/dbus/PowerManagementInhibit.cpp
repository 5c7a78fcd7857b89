#include "platform/dbus/PowerManagementInhibit.h"

#include "platform/dbus/Bus.h"

#include <systemd/sd-bus.h>

namespace plat {
namespace {

constexpr const char* kName = "org.freedesktop.PowerManagement.Inhibit";
constexpr const char* kPath = "/org/freedesktop/PowerManagement/Inhibit";

int Changed(sd_bus_message* Message, void* Self, sd_bus_error*)
{
    int inhibited = 1;
    auto* self = static_cast<PowerManagementInhibit*>(Self);
    if (sd_bus_message_read(Message, "b", &inhibited) > 0 && !inhibited && self->OnEnded)
        self->OnEnded();
    return 0;
}

}  // namespace

PowerManagementInhibit::PowerManagementInhibit(Bus& Session) : FBus(Session)
{
    sd_bus_match_signal(FBus.Handle(), &FChanged, nullptr, kPath, kName, "HasInhibitChanged", Changed, this);
}

PowerManagementInhibit::~PowerManagementInhibit()
{
    sd_bus_slot_unref(FChanged);
}

bool PowerManagementInhibit::Inhibited() const
{
    if (!FBus.HasOwner(kName))
        return false;
    sd_bus_message* reply = nullptr;
    int inhibited = 0;
    if (sd_bus_call_method(FBus.Handle(), kName, kPath, kName, "HasInhibit", nullptr, &reply, "") >= 0)
        sd_bus_message_read(reply, "b", &inhibited);
    sd_bus_message_unref(reply);
    return inhibited != 0;
}

}  // namespace plat
