// An X server renders directly (through a GPU driver) only with the DRI3 or DRI2 extension and a
// graphics device this process can open; without them, GL goes through the server or a software
// rasteriser.
#include "platform/sdl/GpuRendering.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <dirent.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace plat {
namespace {

// A server may offer DRI3 (Xorg with a dummy or framebuffer driver does) while this process can
// reach no graphics device: GL would then be Mesa's software rasteriser all the same.
bool GraphicsDeviceReachable()
{
    DIR* dir = opendir("/dev/dri");
    if (dir == nullptr)
        return false;
    bool reachable = false;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "renderD", 7) != 0 && std::strncmp(entry->d_name, "card", 4) != 0)
            continue;
        if (access((std::string("/dev/dri/") + entry->d_name).c_str(), R_OK | W_OK) == 0) {
            reachable = true;
            break;
        }
    }
    closedir(dir);
    return reachable;
}

// GL_RENDERER of glGetString, and the names Mesa's and others' software drivers give there.
constexpr unsigned kGlRenderer = 0x1F01;
constexpr const char* kSoftwareRasterisers[] = {"llvmpipe", "softpipe", "swrast", "Software Rasterizer",
                                                "SWR",      "lavapipe"};

}  // namespace

bool RasterisesInSoftware(SDL_Renderer* Renderer)
{
    SDL_RendererInfo info{};
    if (Renderer == nullptr || SDL_GetRendererInfo(Renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE) != 0 ||
        SDL_strncmp(info.name, "opengl", 6) != 0 || SDL_GL_GetCurrentContext() == nullptr)
        return false;
    using TGetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<TGetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = getString != nullptr ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
    if (name == nullptr)
        return false;
    for (const char* rasteriser : kSoftwareRasterisers)
        if (std::strstr(name, rasteriser) != nullptr)
            return true;
    return false;
}

bool RendersWithGpu(SDL_Window* Window)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && SDL_strcmp(driver, "offscreen") == 0)
        return false;
    if (!GraphicsDeviceReachable())
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
