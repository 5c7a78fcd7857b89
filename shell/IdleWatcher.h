// `solvane --idle [SECONDS]`: the session's idle watcher. It waits until nobody has used the
// session for SECONDS (without them: the settings' "IdleMinutes", 1 to 120, else 10 minutes),
// runs the saver (`solvane /s`, this same executable) as its child, waits for it to end and
// watches again, until its session's display or bus goes away or it is asked to end (SIGTERM,
// SIGINT, SIGHUP; a running saver is ended with it).
//
// It never starts the saver while a program holds the screen on (the idle source honours its
// desktop's inhibitions; where no desktop owns `org.freedesktop.ScreenSaver` the watcher serves
// it and honours its own list) or while the session is locked. One watcher runs per session: a
// second one says so on standard error and ends with code 1, and so does a start without a
// display. The idle time counts from the watcher's start, from the saver's end and from the end of
// an inhibition. While waiting it sleeps in poll: no timer, no scene, no toolkit.
#pragma once

namespace shell {

struct TStart;

// Runs the watcher the command line asked for; returns the process exit code.
int RunIdleWatcher(const TStart& Start);

}  // namespace shell
