#include "platform/idle/SessionIdle.h"

#include "platform/dbus/MutterIdle.h"
#include "platform/wayland/WaylandIdle.h"
#include "platform/x11/ScreensaverIdle.h"

#include <cstdlib>

namespace plat {
namespace {

bool Set(const char* Name)
{
    const char* value = std::getenv(Name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool HasSessionDisplay()
{
    return Set("WAYLAND_DISPLAY") || Set("DISPLAY");
}

std::unique_ptr<IdleSource> OpenSessionIdle(Bus* Session, int Seconds, std::string& Error)
{
    if (Session != nullptr && HasMutterIdle(*Session))
        return OpenMutterIdle(*Session, Seconds, Error);
    if (Set("WAYLAND_DISPLAY"))
        return OpenWaylandIdle(Seconds, Error);
    if (Set("DISPLAY"))
        return OpenScreensaverIdle(Seconds, Error);
    Error = "no display: neither WAYLAND_DISPLAY nor DISPLAY is set";
    return nullptr;
}

}  // namespace plat
