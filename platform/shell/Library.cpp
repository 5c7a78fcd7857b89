#include "platform/shell/Library.h"

#include <dlfcn.h>

namespace plat {

bool Library::Load(const std::string& Name)
{
    Free();
    FHandle = dlopen(Name.c_str(), RTLD_NOW | RTLD_LOCAL);
    return FHandle != nullptr;
}

void* Library::Symbol(const std::string& Name) const
{
    return FHandle ? dlsym(FHandle, Name.c_str()) : nullptr;
}

void Library::Free()
{
    if (FHandle)
        dlclose(FHandle);
    FHandle = nullptr;
}

}  // namespace plat
