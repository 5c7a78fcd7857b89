// Libraries loaded at run time: load by name (or from beside the running executable), look up an
// export, unload; and the running executable itself.
#pragma once

#include <string>

namespace plat {

// The absolute path of the running executable (links resolved; after an update replaced it, the
// update's), or "" when the system does not tell it.
std::string RunningExecutable();

class Library {
public:
    Library() = default;
    ~Library() { Free(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Whether the library's exports bind the undefined symbols of the libraries loaded after it.
    enum class Exports { Private, ToLaterLoads };

    // False when the library cannot be found or loaded, or its file is cut short (which would end
    // the process at the first touch of a missing page); a loaded library is freed first.
    bool Load(const std::string& Name, Exports Scope = Exports::Private);
    // Load from the running executable's folder, or from Folder relative to it.
    bool LoadBesideExecutable(const std::string& Name, const std::string& Folder = ".",
                              Exports Scope = Exports::Private);
    // Load one of the program's modules: beside the executable (a build tree), else from the
    // install folder as seen from the executable (an installed or unpacked tree), else from the
    // install folder itself.
    bool LoadModule(const std::string& Name, Exports Scope = Exports::Private);
    // The export's address, or null when the library is not loaded or lacks it.
    void* Symbol(const std::string& Name) const;
    void Free();
    bool Loaded() const { return FHandle != nullptr; }

private:
    void* FHandle = nullptr;
};

}  // namespace plat
