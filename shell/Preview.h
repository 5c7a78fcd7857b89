// The preview mode: the built-in preview picture drawn once into the desktop settings' window.
#pragma once

namespace shell {

// Waits (polling, processing the application's messages) until the window is viewable, then
// draws "PREVIEWBMP" at (0, 0) in its own size. Returns quietly when the window goes away.
void RunPreview(unsigned long Window);

}  // namespace shell
