#include "platform/dbus/ScreenSaverService.h"

#include "platform/dbus/Bus.h"

#include <systemd/sd-bus.h>

namespace plat {
namespace {

constexpr const char* kName = "org.freedesktop.ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
// Browsers call the first, some older programs the second.
constexpr const char* kPaths[2] = {"/org/freedesktop/ScreenSaver", "/ScreenSaver"};

}  // namespace

struct ScreenSaverService::Methods {
    static int Inhibit(sd_bus_message* Call, void* Self, sd_bus_error*);
    static int UnInhibit(sd_bus_message* Call, void* Self, sd_bus_error*);
    static int SimulateUserActivity(sd_bus_message* Call, void* Self, sd_bus_error*);
    static int GetActive(sd_bus_message* Call, void* Self, sd_bus_error*);
    static int CallerLeft(sd_bus_track* Track, void* Released);
};

ScreenSaverService::ScreenSaverService(Bus& Session) : FBus(Session)
{
    static const sd_bus_vtable methods[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ss", "u", Methods::Inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("UnInhibit", "u", "", Methods::UnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("SimulateUserActivity", "", "", Methods::SimulateUserActivity, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("GetActive", "", "b", Methods::GetActive, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_SIGNAL("ActiveChanged", "b", 0),
        SD_BUS_VTABLE_END};
    sd_bus* bus = FBus.Handle();
    for (int i = 0; i < 2; ++i)
        if (sd_bus_add_object_vtable(bus, &FObjects[i], kPaths[i], kInterface, methods, this) < 0)
            return;
    // Without queueing: a desktop that owns the name keeps it, and its own monitor applies.
    FServing = sd_bus_request_name(bus, kName, 0) >= 0;
}

ScreenSaverService::~ScreenSaverService()
{
    if (FServing)
        sd_bus_release_name(FBus.Handle(), kName);
    for (sd_bus_slot* object : FObjects)
        sd_bus_slot_unref(object);
    for (auto& [cookie, inhibition] : FInhibitions)
        sd_bus_track_unref(inhibition->Caller);
}

void ScreenSaverService::SetActive(bool Active)
{
    if (Active == FActive)
        return;
    FActive = Active;
    if (FServing)
        sd_bus_emit_signal(FBus.Handle(), kPaths[0], kInterface, "ActiveChanged", "b", static_cast<int>(Active));
}

int ScreenSaverService::Methods::Inhibit(sd_bus_message* Call, void* Self, sd_bus_error*)
{
    auto* self = static_cast<ScreenSaverService*>(Self);
    const char *application = nullptr, *reason = nullptr;
    if (sd_bus_message_read(Call, "ss", &application, &reason) < 0)
        return sd_bus_reply_method_errorf(Call, SD_BUS_ERROR_INVALID_ARGS, "Inhibit takes two strings");
    auto inhibition = std::make_unique<Inhibition>(Inhibition{self, ++self->FLastCookie, nullptr});
    if (inhibition->Cookie == 0)
        inhibition->Cookie = ++self->FLastCookie;  // 0 is no cookie
    // The caller is watched on the bus: when it leaves, CallerLeft ends the inhibition.
    if (sd_bus_track_new(sd_bus_message_get_bus(Call), &inhibition->Caller, Methods::CallerLeft, inhibition.get()) <
            0 ||
        sd_bus_track_add_sender(inhibition->Caller, Call) < 0) {
        sd_bus_track_unref(inhibition->Caller);
        return sd_bus_reply_method_errorf(Call, SD_BUS_ERROR_FAILED, "cannot follow the caller");
    }
    const uint32_t cookie = inhibition->Cookie;
    self->FInhibitions[cookie] = std::move(inhibition);
    return sd_bus_reply_method_return(Call, "u", cookie);
}

int ScreenSaverService::Methods::UnInhibit(sd_bus_message* Call, void* Self, sd_bus_error*)
{
    uint32_t cookie = 0;
    if (sd_bus_message_read(Call, "u", &cookie) < 0)
        return sd_bus_reply_method_errorf(Call, SD_BUS_ERROR_INVALID_ARGS, "UnInhibit takes a cookie");
    // An unknown cookie (ended already, when its caller left) is no error to the caller.
    static_cast<ScreenSaverService*>(Self)->Release(cookie);
    return sd_bus_reply_method_return(Call, "");
}

int ScreenSaverService::Methods::SimulateUserActivity(sd_bus_message* Call, void* Self, sd_bus_error*)
{
    auto* self = static_cast<ScreenSaverService*>(Self);
    if (self->OnActivity)
        self->OnActivity();
    return sd_bus_reply_method_return(Call, "");
}

int ScreenSaverService::Methods::GetActive(sd_bus_message* Call, void* Self, sd_bus_error*)
{
    return sd_bus_reply_method_return(Call, "b", static_cast<int>(static_cast<ScreenSaverService*>(Self)->FActive));
}

int ScreenSaverService::Methods::CallerLeft(sd_bus_track*, void* Released)
{
    const auto* inhibition = static_cast<Inhibition*>(Released);
    inhibition->Service->Release(inhibition->Cookie);
    return 1;
}

void ScreenSaverService::Release(uint32_t Cookie)
{
    const auto found = FInhibitions.find(Cookie);
    if (found == FInhibitions.end())
        return;
    sd_bus_track_unref(found->second->Caller);
    FInhibitions.erase(found);
    if (FInhibitions.empty() && OnActivity)
        OnActivity();
}

}  // namespace plat
