// The built-in resources' module: every picture, the music and the tables, with their lookup and
// nothing else (no library of its own). The executable maps it before the mode's module, whose
// resource lookup binds to this export, so the executable file itself stays small: a compositor
// shows a new client's window later the larger that client's executable is.
#include "assets/Resources.h"
#include "shell/ModuleHost.h"

extern "C" __attribute__((visibility("default"))) TModuleResource SolvaneFindResource(const char* Name)
{
    const std::span<const uint8_t> bytes = assets::FindResource(Name);
    return {bytes.empty() ? nullptr : bytes.data(), bytes.size()};
}
