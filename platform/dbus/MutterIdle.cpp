#include "platform/dbus/MutterIdle.h"

#include "platform/dbus/Bus.h"

#include <systemd/sd-bus.h>

#include <cstdint>

namespace plat {
namespace {

constexpr const char* kService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";

class MutterIdle final : public IdleSource {
public:
    MutterIdle(Bus& Session, int Seconds) : FBus(Session.Handle()), FMilliseconds(uint64_t(Seconds) * 1000) {}
    ~MutterIdle() override;
    MutterIdle(const MutterIdle&) = delete;
    MutterIdle& operator=(const MutterIdle&) = delete;

    bool Subscribe(std::string& Error);

    const char* Name() const override { return "GNOME's idle monitor"; }
    int Descriptor() const override { return -1; }
    TIdleNews Read() override;
    void Restart() override { FromNow(); }
    void Resume() override;

private:
    static int Fired(sd_bus_message* Message, void* Self, sd_bus_error*);
    static int OwnerChanged(sd_bus_message* Message, void* Self, sd_bus_error*);
    // The answer of a call without arguments, or of one with a time (t); 0 when the call failed.
    template <typename TAnswer, typename... TArgument>
    TAnswer Call(const char* Method, const char* Signature, TArgument... Argument);
    void Remove(uint32_t& Watch);
    void Watch(uint64_t Milliseconds);
    void FromNow();

    sd_bus* FBus;
    uint64_t FMilliseconds;
    sd_bus_slot* FFired = nullptr;
    sd_bus_slot* FOwner = nullptr;
    uint32_t FWatch = 0;  // fires when the idle time reaches FMilliseconds, or more counted from now
    uint32_t FActive = 0;  // the next input, which brings the plain watch back
    bool FIdled = false;
    bool FResumed = false;  // input came after the last Idle news: the plain watch counts from it
    bool FGone = false;
};

MutterIdle::~MutterIdle()
{
    Remove(FWatch);
    Remove(FActive);
    sd_bus_slot_unref(FFired);
    sd_bus_slot_unref(FOwner);
}

template <typename TAnswer, typename... TArgument>
TAnswer MutterIdle::Call(const char* Method, const char* Signature, TArgument... Argument)
{
    sd_bus_message* reply = nullptr;
    TAnswer answer = 0;
    const char answerType[2] = {sizeof(TAnswer) == 8 ? 't' : 'u', '\0'};
    if (sd_bus_call_method(FBus, kService, kPath, kInterface, Method, nullptr, &reply, Signature, Argument...) >= 0)
        sd_bus_message_read(reply, answerType, &answer);
    sd_bus_message_unref(reply);
    return answer;
}

void MutterIdle::Remove(uint32_t& Watch)
{
    if (Watch != 0 && !FGone)
        sd_bus_call_method(FBus, kService, kPath, kInterface, "RemoveWatch", nullptr, nullptr, "u", Watch);
    Watch = 0;
}

bool MutterIdle::Subscribe(std::string& Error)
{
    const int fired = sd_bus_match_signal(FBus, &FFired, kService, kPath, kInterface, "WatchFired", Fired, this);
    // The monitor's owner leaving is the session ending (GNOME Shell quit).
    const int owner = sd_bus_add_match(FBus, &FOwner,
                                       "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                                       "member='NameOwnerChanged',arg0='org.gnome.Mutter.IdleMonitor'",
                                       OwnerChanged, this);
    if (fired < 0 || owner < 0) {
        Error = "cannot listen to GNOME's idle monitor";
        return false;
    }
    FromNow();
    if (FWatch == 0) {
        Error = "GNOME's idle monitor refuses a watch";
        return false;
    }
    return true;
}

int MutterIdle::Fired(sd_bus_message* Message, void* Self, sd_bus_error*)
{
    auto* self = static_cast<MutterIdle*>(Self);
    uint32_t id = 0;
    if (sd_bus_message_read(Message, "u", &id) <= 0 || id == 0)
        return 0;
    if (id == self->FWatch) {
        self->FIdled = true;
        self->FResumed = false;
        if (self->FActive == 0)
            self->FActive = self->Call<uint32_t>("AddUserActiveWatch", "");
    } else if (id == self->FActive) {
        // Input: from now on the plain idle time counts, from the last input.
        self->FActive = 0;
        self->FResumed = true;
        self->Watch(self->FMilliseconds);
    }
    return 0;
}

int MutterIdle::OwnerChanged(sd_bus_message* Message, void* Self, sd_bus_error*)
{
    const char *name = nullptr, *before = nullptr, *after = nullptr;
    if (sd_bus_message_read(Message, "sss", &name, &before, &after) > 0 && after != nullptr && *after == '\0')
        static_cast<MutterIdle*>(Self)->FGone = true;
    return 0;
}

void MutterIdle::Watch(uint64_t Milliseconds)
{
    Remove(FWatch);
    FWatch = Call<uint32_t>("AddIdleWatch", "t", Milliseconds);
}

void MutterIdle::Resume()
{
    if (!FResumed)
        FromNow();
}

void MutterIdle::FromNow()
{
    // A watch fires at an idle time counted from the last input, whenever that was: counting
    // from now means watching for the idle time so far plus the watcher's, until the next input.
    Watch(Call<uint64_t>("GetIdletime", "") + FMilliseconds);
    if (FActive == 0)
        FActive = Call<uint32_t>("AddUserActiveWatch", "");
}

TIdleNews MutterIdle::Read()
{
    if (FGone)
        return TIdleNews::Gone;
    const bool idled = FIdled;
    FIdled = false;
    return idled ? TIdleNews::Idle : TIdleNews::Nothing;
}

}  // namespace

bool HasMutterIdle(Bus& Session)
{
    return Session.HasOwner(kService);
}

std::unique_ptr<IdleSource> OpenMutterIdle(Bus& Session, int Seconds, std::string& Error)
{
    auto source = std::make_unique<MutterIdle>(Session, Seconds);
    if (!source->Subscribe(Error))
        return nullptr;
    return source;
}

}  // namespace plat
