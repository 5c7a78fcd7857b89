#include "platform/xdg/ConfigFolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace plat {

std::string UserConfigFolder()
{
    const char* Xdg = std::getenv("XDG_CONFIG_HOME");
    if (Xdg && Xdg[0] == '/')
        return Xdg;
    const char* Home = std::getenv("HOME");
    if (!Home || Home[0] != '/') {
        const passwd* Entry = ::getpwuid(::getuid());
        Home = Entry ? Entry->pw_dir : nullptr;
    }
    return Home && Home[0] == '/' ? std::string(Home) + "/.config" : std::string();
}

}  // namespace plat
