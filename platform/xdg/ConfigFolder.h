// The user's configuration folder by the XDG base directory rules: $XDG_CONFIG_HOME when it is an
// absolute path, else ~/.config (the home from $HOME, else from the password database). The
// settings key and the autostart entries live below it.
#pragma once

#include <string>

namespace plat {

// The folder's path (it may not exist yet), or "" when the user has no home to put it in.
std::string UserConfigFolder();

}  // namespace plat
