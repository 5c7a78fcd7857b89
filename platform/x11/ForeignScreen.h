// The screen backend for an X window of another program (a screensaver daemon's, or the root
// window when Window is 0): frames are scaled to the window's size, aspect kept, black bars,
// following its resizes; the window's input stays its owner's. Main thread.
#pragma once

#include <memory>

#include "platform/display/Screen.h"

namespace plat {

// AllowShared false puts every frame over the connection even where the server offers shared
// memory.
std::unique_ptr<Screen> CreateForeignWindowScreen(unsigned long Window, bool AllowShared = true);

}  // namespace plat
