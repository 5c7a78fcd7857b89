// The executable: a launcher that maps no display, sound or toolkit library and carries no
// resources of its own. It reads the command line into the start record (shell/Start.h), picks
// the mode's module (shell/ModuleHost.h) and hands it the record and the command line: the idle
// watcher's for --idle, the settings dialog's for /c, the saver's for every other mode and for /c
// when the dialog's module cannot be loaded (the saver's module then tells the user). Except for
// --idle, it first maps solvane-assets.so, whose resource lookup the mode's module binds to as
// it is loaded.
#include "platform/shell/Library.h"
#include "shell/ModuleHost.h"
#include "shell/Start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void* LoadModuleExport(plat::Library& Module, const char* Name, const char* Export)
{
    return Module.LoadModule(Name) ? Module.Symbol(Export) : nullptr;
}

TModuleEntry LoadModuleEntry(plat::Library& Module, const char* Name, const char* Entry)
{
    return reinterpret_cast<TModuleEntry>(LoadModuleExport(Module, Name, Entry));
}

int Missing(const char* Name)
{
    std::fprintf(stderr, "solvane: %s is missing or damaged\n", Name);
    return 1;
}

}  // namespace

// The modules stay loaded until the process has ended: the libraries they brought in (ALSA's
// configuration hooks, the GL driver) keep exit handlers and state that must not be unloaded
// before the process's own exit runs them, and the resources are read to the end. Hence
// std::exit, which leaves `module` and `assets` in place.
int main(int argc, char** argv)
{
    const shell::TStart start = shell::StartOf(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                                               std::getenv("XSCREENSAVER_WINDOW"));
    plat::Library module;
    const TModuleHost host{argc, argv, &start};
    if (start.IdleWatcher) {
        const TModuleEntry watch = LoadModuleEntry(module, kIdleModuleName, kIdleEntryName);
        if (watch == nullptr)
            return Missing(kIdleModuleName);
        std::exit(watch(&host));
    }
    plat::Library assets;
    if (!assets.LoadModule(kAssetsModuleName, plat::Library::Exports::ToLaterLoads) ||
        assets.Symbol(kAssetsEntryName) == nullptr)
        return Missing(kAssetsModuleName);
    if (start.Mode == shell::TSaverMode::Configuration)
        if (const TModuleEntry configure = LoadModuleEntry(module, kDialogModuleName, kDialogEntryName))
            std::exit(configure(&host));
    const TModuleEntry run = LoadModuleEntry(module, kSaverModuleName, kSaverEntryName);
    if (run == nullptr)
        return Missing(kSaverModuleName);
    std::exit(run(&host));
}
