// How a screensaver daemon starts the saver on Linux: as a "hack" drawing into a window the daemon
// made (`-window-id ID`, `--window-id ID`, or the XSCREENSAVER_WINDOW variable) or into the root
// window (`-root`, `--root`; the daemon's window in XSCREENSAVER_WINDOW stands in for it). Such a
// start, without any of the /p, /c, /a mode switches, runs the saver in that window;
// `--no-music` keeps it silent, in any saver start.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace shell {

// A daemon's start that names no usable window.
class EBadHackStart : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct THackStart {
    bool Hack = false;
    unsigned long Window = 0;  // 0: the root window
    bool NoMusic = false;
};

// The start the arguments (argv without the program name) and the daemon's variable (null when
// unset) ask for. Throws std::invalid_argument naming the bad switch or value.
THackStart HackStartOf(const std::vector<std::string>& Args, const char* WindowVariable);

// A window id: hexadecimal with "0x", or decimal; nothing unless the whole text is a valid id.
std::optional<unsigned long> WindowIdOf(const std::string& Text);

}  // namespace shell
