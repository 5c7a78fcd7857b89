// The built-in resources inside a module: they live in the resources' module, which the launcher
// maps before the mode's module with its export visible to the modules mapped after it. Linking
// this into a module defines assets::FindResource as a forwarder to that export, which keeps the
// library's own lookup, and with it a second copy of every picture and table, out of the module.
#include "assets/Resources.h"
#include "shell/ModuleHost.h"

#include <string>

// Bound by the loader when the module is mapped. Weak, so that a module mapped without the
// resources' module finds no resource instead of failing to load.
extern "C" TModuleResource SolvaneFindResource(const char* Name) __attribute__((weak));

namespace assets {

std::span<const uint8_t> FindResource(std::string_view Name)
{
    if (SolvaneFindResource == nullptr)
        return {};
    const TModuleResource found = SolvaneFindResource(std::string(Name).c_str());
    return {found.Data, found.Data ? found.Size : 0};
}

}  // namespace assets
