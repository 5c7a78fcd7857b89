// The measurements of the dialog's opening time (tools/open-time): an empty Qt window of the
// dialog's size as the yardstick, and the time from starting a program to the first paint of the
// window it maps, watched from outside on the X server. A window counts as painted when its pixel
// at (20, 20) is no longer black, so the server's root must be black (`Xvfb -br`).
#pragma once

#include <string>
#include <vector>

namespace plat {

// Shows an empty 539 x 576 Qt window until the process is ended; returns the exit code.
int ShowEmptyQtWindow(int argc, char** argv);

// Milliseconds from starting Args (a program path and its arguments) to the first paint of the
// first window mapped on the display's root; -1 after 10 s or without a display. The program is
// ended (SIGTERM) before this returns.
double MillisecondsToFirstPaint(const std::vector<std::string>& Args);

}  // namespace plat
