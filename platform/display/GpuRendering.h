// Whether presenting to a window goes through a graphics processor. Where it cannot (SDL's
// offscreen driver, an X server without direct rendering: Xvfb, VNC and remote displays), any GL
// renderer is a software rasteriser: a few copies of the frame then cost three times the processor
// time of SDL's own software renderer and load some 75 MB of graphics libraries for nothing.
#pragma once

struct SDL_Window;

namespace plat {

bool RendersWithGpu(SDL_Window* Window);

}  // namespace plat
