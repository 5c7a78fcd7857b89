// The measurements of the dialog's opening time (tools/open-time): an empty Qt window of the
// dialog's size as the yardstick, and the time from starting a program to the first paint of the
// window it maps, watched from outside on the X server. A window counts as painted when its pixel
// at (20, 20) is no longer black, so the server's root must be black (`Xvfb -br`).
#pragma once

#include <string>
#include <vector>

struct _XDisplay;

namespace plat {

// Shows an empty 539 x 576 Qt window until the process is ended; returns the exit code.
int ShowEmptyQtWindow(int argc, char** argv);

// Watches the display's root for the windows of the programs it starts. Its connection stays open
// from one start to the next: an X server with no client left resets itself, and the next start
// would pay for that reset, which a desktop, always with clients, never does.
class TOpenTimeStopwatch {
public:
    TOpenTimeStopwatch();
    ~TOpenTimeStopwatch();
    TOpenTimeStopwatch(const TOpenTimeStopwatch&) = delete;
    TOpenTimeStopwatch& operator=(const TOpenTimeStopwatch&) = delete;

    bool Connected() const { return X != nullptr; }
    // Milliseconds from starting Args (a program path and its arguments) to the first paint of
    // the first window mapped on the root; -1 after 10 s or without a display. The program is
    // ended (SIGTERM) before this returns.
    double MillisecondsToFirstPaint(const std::vector<std::string>& Args);

private:
    _XDisplay* X;
};

}  // namespace plat
