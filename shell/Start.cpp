#include "shell/HackStart.h"

#include "shell/Modes.h"

#include <cerrno>
#include <cstdlib>

namespace shell {
namespace {

// X resource ids have 29 bits.
constexpr unsigned long kMaxWindowId = 0x1FFFFFFFul;

unsigned long WindowOrThrow(const std::string& Switch, const std::string& Value)
{
    const std::optional<unsigned long> id = WindowIdOf(Value);
    if (!id)
        throw EBadHackStart(Switch + ": '" + Value + "' is not a window id");
    return *id;
}

}  // namespace

std::optional<unsigned long> WindowIdOf(const std::string& Text)
{
    const bool hex = Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X');
    const std::string digits = hex ? Text.substr(2) : Text;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    errno = 0;
    const unsigned long long id = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno != 0 || id == 0 || id > kMaxWindowId)
        return std::nullopt;
    return static_cast<unsigned long>(id);
}

THackStart HackStartOf(const std::vector<std::string>& Args, const char* WindowVariable)
{
    // The mode switch is the first argument, as the saver's own modes read it.
    if (!Args.empty() && ModeOf(Args[0]) != TSaverMode::Saver)
        return THackStart{};
    THackStart start;
    bool named = false;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (arg == "-window-id" || arg == "--window-id") {
            if (i + 1 >= Args.size())
                throw EBadHackStart(arg + ": the window id is missing");
            start.Window = WindowOrThrow(arg, Args[++i]);
            start.Hack = named = true;
        } else if (arg == "-root" || arg == "--root") {
            start.Hack = true;
        } else if (arg == "--no-music") {
            start.NoMusic = true;
        }
    }
    // The daemon's window stands in for the root window: the daemon covers the screen with it.
    if (!named && WindowVariable != nullptr && *WindowVariable != '\0') {
        start.Window = WindowOrThrow("XSCREENSAVER_WINDOW", WindowVariable);
        start.Hack = true;
    }
    return start;
}

}  // namespace shell
