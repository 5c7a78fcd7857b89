// The door between the executable and its modules. The executable is a small launcher that
// maps no display, sound or toolkit library: the settings dialog (Qt) lives in solvane-dialog.so,
// the idle watcher (`--idle`: the session's idle time, no drawing) in solvane-idle.so and every
// other mode (SDL, X11, FreeType, ALSA, ...) in solvane-saver.so, so each mode loads only the
// stack it needs. The built-in resources live in solvane-assets.so, which the launcher maps first
// with its export visible to the modules it maps next (shell/module/HostResources.cpp), so that
// every picture and table exists once and the executable file stays small. The host hands a
// module the command line as the launcher read it (shell/Start.h). Plain data; the modules are
// built with the executable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace shell {
struct TStart;
}

extern "C" {

// The bytes of a built-in resource by name (see assets/Resources.h); Data is null when missing.
// What the resources' module's one export returns.
struct TModuleResource {
    const uint8_t* Data;
    size_t Size;
};

struct TModuleHost {
    int Argc;
    char** Argv;  // outlives the call
    const shell::TStart* Start;  // outlives the call
};

// A module's one export: runs its modes until they end; returns the process exit code.
using TModuleEntry = int (*)(const TModuleHost* Host);
}

// The modules' file names and their exports.
inline constexpr const char* kDialogModuleName = "solvane-dialog.so";
inline constexpr const char* kDialogEntryName = "SolvaneConfigure";
inline constexpr const char* kSaverModuleName = "solvane-saver.so";
inline constexpr const char* kSaverEntryName = "SolvaneRun";
inline constexpr const char* kIdleModuleName = "solvane-idle.so";
inline constexpr const char* kIdleEntryName = "SolvaneIdle";
inline constexpr const char* kAssetsModuleName = "solvane-assets.so";
inline constexpr const char* kAssetsEntryName = "SolvaneFindResource";
