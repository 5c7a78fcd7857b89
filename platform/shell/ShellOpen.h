// Opens a web address or file with the desktop's default handler, the way a user's double-click
// would, without waiting for it.
#pragma once

#include <string>

namespace plat {

// Starts `xdg-open Target` detached from this process (it is never waited for and never becomes
// a zombie). True when the launcher could be started; whether it manages to open the target is
// not known here.
bool ShellOpen(const std::string& Target);

}  // namespace plat
