#include "shell/module/HostResources.h"

#include "assets/Resources.h"

#include <string>

namespace {

const TModuleHost* Host = nullptr;

}  // namespace

namespace shell {

void UseHostResources(const TModuleHost* AHost)
{
    Host = AHost;
}

}  // namespace shell

namespace assets {

std::span<const uint8_t> FindResource(std::string_view Name)
{
    if (Host == nullptr)
        return {};
    const TModuleResource found = Host->FindResource(std::string(Name).c_str());
    return {found.Data, found.Data ? found.Size : 0};
}

}  // namespace assets
