// What the dialog's "Start the screensaver after" does on OK: the session's idle watcher
// (`<program> --idle`, which reads "IdleMinutes" itself) started at every login through an XDG
// autostart entry, `solvane-idle.desktop`, and started or ended at once. No Qt: plain file and
// process work over the platform layer.
#pragma once

#include <string>

class TIdleStart {
public:
    // Program is the executable the entry and the watcher run; empty means this one.
    explicit TIdleStart(std::string Program = {});

    // On: writes the entry and starts a watcher unless one runs; when Changed (the start was off or
    // its minutes differ), a running watcher is ended first, so the new one reads the new minutes.
    // Off: removes the entry and, when Changed (the start was on), ends a running watcher; a
    // watcher the user started some other way is left alone while the box stays off.
    // Returns "" or what went wrong, in words for the user.
    std::string Apply(bool On, bool Changed) const;

    // The entry's file.
    static std::string EntryPath();

private:
    std::string FProgram;
};
