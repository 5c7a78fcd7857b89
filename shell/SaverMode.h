// Which mode a command line asks for: the first argument picks exactly one.
#pragma once

#include <string>

namespace shell {

enum class TSaverMode { Saver, Configuration, Preview, Password };

// Upper-cases the switch, drops one "/" (or, failing that, one "-") and looks at the first
// character left; anything not understood, and a switch shorter than two characters, is the saver.
TSaverMode ModeOf(const std::string& Switch);

}  // namespace shell
