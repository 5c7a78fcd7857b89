// The executable: a launcher that maps no display, sound or toolkit library. It reads the command
// line into the start record (shell/Start.h), picks the mode's module (shell/ModuleHost.h) and
// hands it the record, the command line and the built-in resources, which
// stay in the executable: the idle watcher's for --idle, the settings dialog's for /c, the
// saver's for every other mode and for /c when the dialog's module cannot be loaded (the saver's
// module then tells the user).
#include "assets/Resources.h"
#include "platform/shell/Library.h"
#include "shell/ModuleHost.h"
#include "shell/Start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

TModuleResource BuiltInResource(const char* Name)
{
    const std::span<const uint8_t> bytes = assets::FindResource(Name);
    return {bytes.empty() ? nullptr : bytes.data(), bytes.size()};
}

TModuleEntry LoadModuleEntry(plat::Library& Module, const char* Name, const char* Entry)
{
    return Module.LoadModule(Name) ? reinterpret_cast<TModuleEntry>(Module.Symbol(Entry)) : nullptr;
}

}  // namespace

// The module stays loaded until the process has ended: the libraries it brought in (ALSA's
// configuration hooks, the GL driver) keep exit handlers and state that must not be unloaded
// before the process's own exit runs them. Hence std::exit, which leaves `module` in place.
int main(int argc, char** argv)
{
    const shell::TStart start = shell::StartOf(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                                               std::getenv("XSCREENSAVER_WINDOW"));
    const TModuleHost host{argc, argv, BuiltInResource, &start};
    plat::Library module;
    if (start.IdleWatcher) {
        const TModuleEntry watch = LoadModuleEntry(module, kIdleModuleName, kIdleEntryName);
        if (watch == nullptr) {
            std::fprintf(stderr, "solvane: %s is missing or damaged\n", kIdleModuleName);
            return 1;
        }
        std::exit(watch(&host));
    }
    if (start.Mode == shell::TSaverMode::Configuration)
        if (const TModuleEntry configure = LoadModuleEntry(module, kDialogModuleName, kDialogEntryName))
            std::exit(configure(&host));
    const TModuleEntry run = LoadModuleEntry(module, kSaverModuleName, kSaverEntryName);
    if (run == nullptr) {
        std::fprintf(stderr, "solvane: %s is missing or damaged\n", kSaverModuleName);
        return 1;
    }
    std::exit(run(&host));
}
