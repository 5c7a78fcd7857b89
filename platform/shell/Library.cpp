#include "platform/shell/Library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace plat {

std::string RunningExecutable()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

bool Library::Load(const std::string& Name)
{
    Free();
    FHandle = dlopen(Name.c_str(), RTLD_NOW | RTLD_LOCAL);
    return FHandle != nullptr;
}

bool Library::LoadBesideExecutable(const std::string& Name, const std::string& Folder)
{
    const std::string self = RunningExecutable();
    const std::filesystem::path bin = std::filesystem::path(self).parent_path();
    return !self.empty() && Load((bin / Folder / Name).lexically_normal().string());
}

bool Library::LoadModule(const std::string& Name)
{
    return LoadBesideExecutable(Name) || LoadBesideExecutable(Name, SOLVANE_MODULE_DIR_FROM_BIN) ||
        Load(std::string(SOLVANE_MODULE_DIR "/") + Name);
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
