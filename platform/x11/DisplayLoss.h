// An X server that goes away under the saver (the session ends, the server restarts) ends it the
// way a quit request does: through the saver's own exit, music stopped and the user's volume
// given back, with exit status 1. Xlib's default would print its message and exit from inside
// whichever thread noticed, while the frame thread still draws: the process could die on a signal,
// and the volume would stay the saver's.
#pragma once

struct _XDisplay;

namespace plat {

// From now on a lost connection D is marked broken (every later call on it fails harmlessly, and
// closing it is safe), DisplayLost() turns true and the application hears RequestQuit. One line on
// standard error tells of the loss; a connection not made survivable still ends the process the
// way Xlib does, after that line. Any thread; again for the same connection is harmless.
void SurviveDisplayLoss(_XDisplay* D);

// True once a connection the process made survivable lost its server.
bool DisplayLost();

}  // namespace plat
