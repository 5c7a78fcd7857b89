// Whether the session is locked, so that the idle watcher never starts the saver over a lock
// screen: logind's LockedHint of this session (on the system bus, where logind runs), or the
// desktop's own screensaver reporting itself active (GetActive of `org.freedesktop.ScreenSaver`
// where a desktop owns that name: GNOME's and KDE's lock and blank screens). Asked once each time
// the idle time has passed; a peer that does not answer within a second counts as unlocked.
#pragma once

namespace plat {

class Bus;

// Session may be null (no session bus); AskDesktop: a desktop, not the watcher, owns the name.
bool SessionLocked(Bus* Session, bool AskDesktop);

}  // namespace plat
