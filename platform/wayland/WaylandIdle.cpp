#include "platform/wayland/WaylandIdle.h"

#include "wayland/ext-idle-notify-v1-client-protocol.h"
#include "wayland/idle-client-protocol.h"

#include <wayland-client.h>

#include <cstring>

namespace plat {
namespace {

class WaylandIdle final : public IdleSource {
public:
    explicit WaylandIdle(wl_display* Display) : FDisplay(Display) {}
    ~WaylandIdle() override;
    WaylandIdle(const WaylandIdle&) = delete;
    WaylandIdle& operator=(const WaylandIdle&) = delete;

    // Finds the seat and a notifier; the reason in Error when the compositor lacks them.
    bool Bind(int Seconds, std::string& Error);

    const char* Name() const override { return FExt ? "ext-idle-notify-v1" : "org_kde_kwin_idle"; }
    int Descriptor() const override { return wl_display_get_fd(FDisplay); }
    TIdleNews Read() override;
    void Restart() override { Watch(); }
    void Resume() override;

private:
    static void Global(void* Self, wl_registry* Registry, uint32_t Name, const char* Interface, uint32_t Version);
    static void GlobalRemove(void*, wl_registry*, uint32_t) {}
    void Forget();
    void Watch();
    void Idled()
    {
        FIdled = true;
        FResumed = false;
    }

    wl_display* FDisplay;
    wl_registry* FRegistry = nullptr;
    wl_seat* FSeat = nullptr;
    ext_idle_notifier_v1* FExt = nullptr;
    org_kde_kwin_idle* FKde = nullptr;
    ext_idle_notification_v1* FExtNotification = nullptr;
    org_kde_kwin_idle_timeout* FKdeTimeout = nullptr;
    uint32_t FMilliseconds = 0;
    bool FIdled = false;
    bool FResumed = false;  // input came after the last idled: the notification counts from it
};

WaylandIdle::~WaylandIdle()
{
    Forget();
    if (FExt)
        ext_idle_notifier_v1_destroy(FExt);
    if (FKde)
        org_kde_kwin_idle_destroy(FKde);
    if (FSeat)
        wl_seat_destroy(FSeat);
    if (FRegistry)
        wl_registry_destroy(FRegistry);
    wl_display_disconnect(FDisplay);
}

void WaylandIdle::Global(void* Self, wl_registry* Registry, uint32_t Name, const char* Interface, uint32_t)
{
    auto* self = static_cast<WaylandIdle*>(Self);
    if (std::strcmp(Interface, ext_idle_notifier_v1_interface.name) == 0 && !self->FExt)
        self->FExt =
            static_cast<ext_idle_notifier_v1*>(wl_registry_bind(Registry, Name, &ext_idle_notifier_v1_interface, 1));
    else if (std::strcmp(Interface, org_kde_kwin_idle_interface.name) == 0 && !self->FKde)
        self->FKde = static_cast<org_kde_kwin_idle*>(wl_registry_bind(Registry, Name, &org_kde_kwin_idle_interface, 1));
    else if (std::strcmp(Interface, wl_seat_interface.name) == 0 && !self->FSeat)
        self->FSeat = static_cast<wl_seat*>(wl_registry_bind(Registry, Name, &wl_seat_interface, 1));
}

bool WaylandIdle::Bind(int Seconds, std::string& Error)
{
    static const wl_registry_listener registryListener = {Global, GlobalRemove};
    FRegistry = wl_display_get_registry(FDisplay);
    wl_registry_add_listener(FRegistry, &registryListener, this);
    if (wl_display_roundtrip(FDisplay) < 0) {
        Error = "the Wayland compositor does not answer";
        return false;
    }
    if (!FExt && !FKde) {
        Error = "the Wayland compositor offers no idle notification (ext-idle-notify-v1 or org_kde_kwin_idle)";
        return false;
    }
    if (!FSeat) {
        Error = "the Wayland compositor has no seat";
        return false;
    }
    // Only one of the two is used: the newer protocol where both are offered.
    if (FExt && FKde) {
        org_kde_kwin_idle_destroy(FKde);
        FKde = nullptr;
    }
    FMilliseconds = static_cast<uint32_t>(Seconds) * 1000;
    Watch();
    return true;
}

void WaylandIdle::Forget()
{
    if (FExtNotification)
        ext_idle_notification_v1_destroy(FExtNotification);
    if (FKdeTimeout)
        org_kde_kwin_idle_timeout_release(FKdeTimeout);
    FExtNotification = nullptr;
    FKdeTimeout = nullptr;
}

void WaylandIdle::Resume()
{
    if (!FResumed)
        Watch();
}

void WaylandIdle::Watch()
{
    // A notification counts from its creation, and after its resumed from the input that brought it.
    static const ext_idle_notification_v1_listener extListener = {
        [](void* Self, ext_idle_notification_v1*) { static_cast<WaylandIdle*>(Self)->Idled(); },
        [](void* Self, ext_idle_notification_v1*) { static_cast<WaylandIdle*>(Self)->FResumed = true; }};
    static const org_kde_kwin_idle_timeout_listener kdeListener = {
        [](void* Self, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdle*>(Self)->Idled(); },
        [](void* Self, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdle*>(Self)->FResumed = true; }};
    Forget();
    FIdled = false;
    FResumed = false;
    if (FExt) {
        FExtNotification = ext_idle_notifier_v1_get_idle_notification(FExt, FMilliseconds, FSeat);
        ext_idle_notification_v1_add_listener(FExtNotification, &extListener, this);
    } else {
        FKdeTimeout = org_kde_kwin_idle_get_idle_timeout(FKde, FSeat, FMilliseconds);
        org_kde_kwin_idle_timeout_add_listener(FKdeTimeout, &kdeListener, this);
    }
    wl_display_flush(FDisplay);
}

TIdleNews WaylandIdle::Read()
{
    if (wl_display_dispatch(FDisplay) < 0)
        return TIdleNews::Gone;
    wl_display_flush(FDisplay);
    const bool idled = FIdled;
    FIdled = false;
    return idled ? TIdleNews::Idle : TIdleNews::Nothing;
}

}  // namespace

std::unique_ptr<IdleSource> OpenWaylandIdle(int Seconds, std::string& Error)
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        Error = "cannot connect to the Wayland display";
        return nullptr;
    }
    auto source = std::make_unique<WaylandIdle>(display);
    if (!source->Bind(Seconds, Error))
        return nullptr;
    return source;
}

}  // namespace plat
