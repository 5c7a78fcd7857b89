// The command line, read once by the launcher into a start record that every mode takes from it.
//
// The first argument picks the mode (shell/SaverMode.h, or `--idle [SECONDS]` for the session's
// idle watcher). The preview's and the password change's second argument is a window id. A saver
// start is a screensaver daemon's "hack" drawing into a window the daemon made (`-window-id ID`,
// `--window-id ID`, or the XSCREENSAVER_WINDOW variable) or into the root window (`-root`,
// `--root`; the daemon's window in XSCREENSAVER_WINDOW stands in for it); `--no-music` keeps any
// saver start silent.
//
// Reading never fails: what cannot be used is kept as the record's Fault, which the chosen mode
// reports in its own way (a daemon's start and the idle watcher end with code 1, the preview and
// the password change show it as the standard exception message and end with code 0).
#pragma once

#include "shell/SaverMode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// The idle watcher's longest wait a command line may ask for.
inline constexpr int32_t kMostIdleSeconds = 7200;

struct TStart {
    TSaverMode Mode = TSaverMode::Saver;
    bool IdleWatcher = false;  // `--idle`: none of the screensaver modes
    bool Hack = false;  // the saver in a daemon's window
    unsigned long Window = 0;  // the hack's (0: the root window), the preview's or the password's owner
    bool NoMusic = false;
    int32_t IdleSeconds = 0;  // 0: the settings' choice
    std::string Fault;  // what in the command line cannot be used; empty when nothing
};

// Args: the arguments without the program name; WindowVariable: XSCREENSAVER_WINDOW, null when
// unset.
TStart StartOf(const std::vector<std::string>& Args, const char* WindowVariable);

// The one window-id reading: decimal, or hexadecimal with "0x"; unsigned, not 0, within the 29
// bits of an X resource id; nothing unless the whole text is such an id.
std::optional<unsigned long> WindowIdOf(const std::string& Text);

}  // namespace shell
