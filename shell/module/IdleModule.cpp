// The idle watcher's module: `solvane --idle` waits for the session's idle time with only the
// libraries that tell it (sd-bus, Wayland's client library, XCB), none of the saver's display,
// sound and scene stack, and starts the saver as a program of its own.
#include "shell/IdleWatcher.h"
#include "shell/ModuleHost.h"

extern "C" __attribute__((visibility("default"))) int SolvaneIdle(const TModuleHost* Host)
{
    return shell::RunIdleWatcher(*Host->Start);
}
