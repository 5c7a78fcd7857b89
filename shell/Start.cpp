#include "shell/Start.h"

#include "engine/StrToInt.h"

#include <cerrno>
#include <cstdlib>

namespace shell {
namespace {

// X resource ids have 29 bits.
constexpr unsigned long kMaxWindowId = 0x1FFFFFFFul;

void ReadIdleWatcher(const std::vector<std::string>& Args, TStart& Start)
{
    Start.IdleWatcher = true;
    if (Args.size() < 2)
        return;
    int32_t Seconds = 0;
    if (TryStrToInt(Args[1], Seconds) && Seconds >= 1 && Seconds <= kMostIdleSeconds)
        Start.IdleSeconds = Seconds;
    else
        Start.Fault =
            "--idle: '" + Args[1] + "' is not a number of seconds from 1 to " + std::to_string(kMostIdleSeconds);
}

// The preview's parent and the password change's owner: a window the desktop's settings name.
void ReadOwnerWindow(const std::vector<std::string>& Args, TStart& Start)
{
    const std::string Text = Args.size() > 1 ? Args[1] : "";
    const std::optional<unsigned long> Id = WindowIdOf(Text);
    if (Id)
        Start.Window = *Id;
    else
        Start.Fault = "'" + Text + "' is not a valid integer value";
}

void ReadDaemonWindow(const std::string& Switch, const std::string& Text, TStart& Start)
{
    const std::optional<unsigned long> Id = WindowIdOf(Text);
    if (Id)
        Start.Window = *Id;
    else if (Start.Fault.empty())
        Start.Fault = Switch + ": '" + Text + "' is not a window id";
}

void ReadSaver(const std::vector<std::string>& Args, const char* WindowVariable, TStart& Start)
{
    bool Named = false;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& Arg = Args[i];
        if (Arg == "-window-id" || Arg == "--window-id") {
            Start.Hack = Named = true;
            if (i + 1 < Args.size())
                ReadDaemonWindow(Arg, Args[++i], Start);
            else if (Start.Fault.empty())
                Start.Fault = Arg + ": the window id is missing";
        } else if (Arg == "-root" || Arg == "--root") {
            Start.Hack = true;
        } else if (Arg == "--no-music") {
            Start.NoMusic = true;
        }
    }
    // The daemon's window stands in for the root window: the daemon covers the screen with it.
    if (!Named && WindowVariable != nullptr && *WindowVariable != '\0') {
        Start.Hack = true;
        ReadDaemonWindow("XSCREENSAVER_WINDOW", WindowVariable, Start);
    }
}

}  // namespace

std::optional<unsigned long> WindowIdOf(const std::string& Text)
{
    const bool Hex = Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X');
    const std::string Digits = Hex ? Text.substr(2) : Text;
    if (Digits.empty() || Digits.find_first_not_of(Hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    errno = 0;
    const unsigned long long Id = std::strtoull(Digits.c_str(), nullptr, Hex ? 16 : 10);
    if (errno != 0 || Id == 0 || Id > kMaxWindowId)
        return std::nullopt;
    return static_cast<unsigned long>(Id);
}

TStart StartOf(const std::vector<std::string>& Args, const char* WindowVariable)
{
    TStart Start;
    if (!Args.empty() && Args[0] == "--idle") {
        ReadIdleWatcher(Args, Start);
        return Start;
    }
    Start.Mode = ModeOf(Args.empty() ? "" : Args[0]);
    if (Start.Mode == TSaverMode::Preview || Start.Mode == TSaverMode::Password)
        ReadOwnerWindow(Args, Start);
    else if (Start.Mode == TSaverMode::Saver)
        ReadSaver(Args, WindowVariable, Start);
    return Start;
}

}  // namespace shell
