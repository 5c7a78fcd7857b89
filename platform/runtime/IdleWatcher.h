// The session's one idle watcher (`solvane --idle`): the lock a running watcher holds, and how the
// settings dialog starts and ends it. One watcher runs per session, told apart by the display it
// watches (WAYLAND_DISPLAY, else DISPLAY), so a user logged in twice gets one in each session.
#pragma once

#include "platform/runtime/RuntimeLock.h"

#include <string>
#include <sys/types.h>

namespace plat {

// The name of this session's watcher lock ("idle-<display>", the display's name reduced to
// letters, digits, '-' and '.'), for RuntimeLock.
std::string IdleWatcherLockName();

// Taken by the watcher at its start; false when another watcher of this session holds it. On
// success the holder's process id is written into the lock file for EndIdleWatcher.
bool HoldIdleWatcherLock(RuntimeLock& Lock);

// The process id of this session's running watcher, or 0 when none holds the lock.
pid_t RunningIdleWatcher();

// Starts `Executable --idle` detached from the caller (its own session, never waited for, no
// zombie); false when it could not be started.
bool StartIdleWatcher(const std::string& Executable);

// Asks this session's running watcher to end (SIGTERM) and waits up to a second for its lock to
// be free; true when no watcher runs afterwards.
bool EndIdleWatcher();

}  // namespace plat
