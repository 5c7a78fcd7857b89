#include "config/IdleStart.h"

#include "platform/runtime/IdleWatcher.h"
#include "platform/shell/Library.h"
#include "platform/xdg/Autostart.h"

namespace {

constexpr const char* kEntryFile = "solvane-idle.desktop";

}  // namespace

TIdleStart::TIdleStart(std::string Program) : FProgram(Program.empty() ? plat::RunningExecutable() : std::move(Program))
{}

std::string TIdleStart::EntryPath()
{
    return plat::AutostartPath(kEntryFile);
}

std::string TIdleStart::Apply(bool On, bool Changed) const
{
    std::string why;
    if (!On)
        why = plat::RemoveAutostartEntry(kEntryFile);
    else if (FProgram.empty())
        why = "the path of this program is not known";
    else
        why = plat::WriteAutostartEntry({kEntryFile,
                                         "Solvane Screensaver",
                                         "Starts the screensaver when the session has been idle",
                                         {FProgram, "--idle"}});
    if (!why.empty())
        return std::string(On ? "The screensaver will not start by itself."
                              : "The screensaver's start was not switched off.") +
            "\n\n" + EntryPath() + ": " + why + ".";
    if (Changed && !plat::EndIdleWatcher())
        return "The screensaver's idle watcher (process " + std::to_string(plat::RunningIdleWatcher()) +
            ") did not end.";
    if (On && plat::RunningIdleWatcher() == 0 && !plat::StartIdleWatcher(FProgram))
        return "The screensaver's idle watcher cannot be started now; it starts with the next login.";
    return {};
}
