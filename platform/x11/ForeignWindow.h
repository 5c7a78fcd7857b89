// Drawing into a window that belongs to another program (the desktop's settings dialog hands the
// saver one for its preview), identified by its X window id.
#pragma once

#include "platform/image/Picture.h"

#include <chrono>
#include <functional>

namespace plat {

enum class ForeignDrawResult { Drawn, WindowGone, NoDisplay };

// Waits until the window is viewable, checking every PollInterval and calling Idle in between,
// then draws the picture unscaled at (0, 0) once. A window that does not exist, or that goes away
// while waiting or drawing, ends the wait quietly with WindowGone; there is no other time-out.
ForeignDrawResult DrawIntoForeignWindow(unsigned long Window, const Picture& Image,
                                        std::chrono::milliseconds PollInterval, const std::function<void()>& Idle);

}  // namespace plat
