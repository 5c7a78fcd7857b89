// Whether presenting to a window goes through a graphics processor. Where it cannot (SDL's
// offscreen driver, an X server without direct rendering: Xvfb, VNC and remote displays), any GL
// renderer is a software rasteriser: a few copies of the frame then cost three times the processor
// time of SDL's own software renderer and load some 75 MB of graphics libraries for nothing.
//
// A graphics device can be there while GL still draws in software (a virtual machine's display
// device without 3D, a driver Mesa does not have): the renderer made tells, by its GL driver's
// name.
#pragma once

struct SDL_Renderer;
struct SDL_Window;

namespace plat {

bool RendersWithGpu(SDL_Window* Window);
// True for a GL renderer whose driver is a software rasteriser (llvmpipe, softpipe, swrast and
// the like).
bool RasterisesInSoftware(SDL_Renderer* Renderer);

}  // namespace plat
