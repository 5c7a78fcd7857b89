// The SDL window backend of the screen: the saver's window over a whole monitor, the picture
// scaled to fit (SdlScreen.cpp tells how). Initialises SDL's video subsystem on first use; main
// thread.
#pragma once

#include <memory>

#include "platform/display/Screen.h"
#include "platform/types/DisplayList.h"

namespace plat {

// Software forces SDL's software renderer (the yardstick the other ways of presenting are measured
// by). Monitors replaces SDL's list of displays.
enum class SdlRendering { Best, Software };
std::unique_ptr<Screen> CreateSdlScreen(SdlRendering Rendering = SdlRendering::Best,
                                        std::shared_ptr<DisplayList> Monitors = nullptr);

}  // namespace plat
