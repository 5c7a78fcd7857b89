// Stands in for the idle watcher (`solvane --idle`) in the settings dialog's tests: it takes this
// session's watcher lock the way the watcher does and holds it until a signal ends it.
#include "platform/runtime/IdleWatcher.h"

#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2 || std::string(argv[1]) != "--idle") {
        std::fprintf(stderr, "usage: %s --idle\n", argv[0]);
        return 2;
    }
    plat::RuntimeLock lock;
    if (!plat::HoldIdleWatcherLock(lock)) {
        std::fprintf(stderr, "%s: another idle watcher runs in this session\n", argv[0]);
        return 1;
    }
    for (;;)
        pause();
}
