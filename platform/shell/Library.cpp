#include "platform/shell/Library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace plat {

std::string RunningExecutable()
{
    std::error_code error;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
    // An executable replaced by an update since the start is read as deleted; its name is the update's.
    const std::string replaced = " (deleted)";
    if (path.ends_with(replaced))
        path.resize(path.size() - replaced.size());
    return error ? std::string() : path;
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
