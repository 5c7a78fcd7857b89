// The desktop's monitors as SDL and the X server see them, and how many there are. A list keeps
// SDL's video running while it lives, so that SDL follows monitors plugged in or out. Main thread.
#pragma once

#include <memory>

#include "platform/types/DisplayList.h"

namespace plat {

std::shared_ptr<DisplayList> SdlDisplays();
// The monitors the saver covers: on X11 RandR's (which follows monitors switched off, on or
// moved), elsewhere SDL's.
std::shared_ptr<DisplayList> DesktopMonitors();

// SDL's video display count, at least 1 (also when the window system cannot tell). SDL reads
// monitors through RandR only, so no X server of a test machine shows it two; tests hand the
// host a headless screen whose count they set (HeadlessScreen::SetDisplayCount).
int DisplayCount();

}  // namespace plat
