// The inhibitions a desktop keeps itself where it owns `org.freedesktop.ScreenSaver`. Plasma's
// screen locker passes them to PowerDevil, which answers HasInhibit of
// `org.freedesktop.PowerManagement.Inhibit` and announces HasInhibitChanged; KWin's idle
// notification does not hold back for them, so the watcher asks. (GNOME passes them to
// gnome-session, and Mutter's idle monitor holds back by itself.) Signals arrive while the bus
// is processed.
#pragma once

#include <functional>

struct sd_bus_slot;

namespace plat {

class Bus;

class PowerManagementInhibit {
public:
    // Follows the announcements on Session, which must outlive the object.
    explicit PowerManagementInhibit(Bus& Session);
    ~PowerManagementInhibit();
    PowerManagementInhibit(const PowerManagementInhibit&) = delete;
    PowerManagementInhibit& operator=(const PowerManagementInhibit&) = delete;

    // Whether the desktop holds the screen on now; false where nobody answers.
    bool Inhibited() const;

    // Called when the desktop's last inhibition ended.
    std::function<void()> OnEnded;

private:
    Bus& FBus;
    sd_bus_slot* FChanged = nullptr;
};

}  // namespace plat
