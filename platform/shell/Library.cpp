#include "platform/shell/Library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

bool ReadAt(int File, void* Into, size_t Size, off_t Offset)
{
    return pread(File, Into, Size, Offset) == static_cast<ssize_t>(Size);
}

// True when the file's loadable segments reach past its end (a copy cut short): the loader maps
// them all the same, and the first touch of a missing page kills the process with SIGBUS. Files
// that are not 64-bit ELF, or cannot be read, are left to the loader, which refuses them itself.
bool CutShort(const std::string& Path)
{
    const int file = open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    Elf64_Ehdr header;
    struct stat info;
    bool cut = false;
    if (fstat(file, &info) == 0 && ReadAt(file, &header, sizeof header, 0) &&
        std::equal(header.e_ident, header.e_ident + SELFMAG, ELFMAG) && header.e_ident[EI_CLASS] == ELFCLASS64 &&
        header.e_phentsize == sizeof(Elf64_Phdr)) {
        std::vector<Elf64_Phdr> segments(header.e_phnum);
        cut = !ReadAt(file, segments.data(), segments.size() * sizeof(Elf64_Phdr), header.e_phoff);
        for (const Elf64_Phdr& segment : segments)
            cut = cut || (segment.p_type == PT_LOAD && segment.p_offset + segment.p_filesz > uint64_t(info.st_size));
    }
    close(file);
    return cut;
}

}  // namespace

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

bool Library::Load(const std::string& Name, Exports Scope)
{
    Free();
    // A bare name is searched for by the loader; a path is checked first.
    if (Name.find('/') != std::string::npos && CutShort(Name))
        return false;
    FHandle = dlopen(Name.c_str(), RTLD_NOW | (Scope == Exports::ToLaterLoads ? RTLD_GLOBAL : RTLD_LOCAL));
    return FHandle != nullptr;
}

bool Library::LoadBesideExecutable(const std::string& Name, const std::string& Folder, Exports Scope)
{
    const std::string self = RunningExecutable();
    const std::filesystem::path bin = std::filesystem::path(self).parent_path();
    return !self.empty() && Load((bin / Folder / Name).lexically_normal().string(), Scope);
}

bool Library::LoadModule(const std::string& Name, Exports Scope)
{
    return LoadBesideExecutable(Name, ".", Scope) || LoadBesideExecutable(Name, SOLVANE_MODULE_DIR_FROM_BIN, Scope) ||
        Load(std::string(SOLVANE_MODULE_DIR "/") + Name, Scope);
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
