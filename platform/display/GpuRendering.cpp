// An X server renders directly (through a GPU driver) only with the DRI3 or DRI2 extension;
// without either, GL goes through the server or a software rasteriser.
#include "platform/display/GpuRendering.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace plat {

bool RendersWithGpu(SDL_Window* Window)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && SDL_strcmp(driver, "offscreen") == 0)
        return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    int opcode = 0, event = 0, error = 0;
    Display* display = info.info.x11.display;
    return XQueryExtension(display, "DRI3", &opcode, &event, &error) ||
           XQueryExtension(display, "DRI2", &opcode, &event, &error);
}

}  // namespace plat
