// The built-in resources inside a module: they live in the resources' module, reached through
// the lookup the launcher puts in the host the module's export is given. Linking this into a
// module defines assets::FindResource as that forwarder, which keeps the library's own lookup,
// and with it a second copy of every picture and table, out of the module.
#pragma once

#include "shell/ModuleHost.h"

namespace shell {

// Call first in the module's export; Host outlives every lookup.
void UseHostResources(const TModuleHost* Host);

}  // namespace shell
