// A fresh folder under /tmp for one test (or one server a test starts), removed with everything
// in it when the object goes. Path() is empty when the folder could not be made.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TTempFolder {
public:
    // The folder is <Base>/solvane-<Purpose>-XXXXXX.
    explicit TTempFolder(const std::string& Purpose, const std::string& Base = "/tmp")
    {
        std::string pattern = Base + "/solvane-" + Purpose + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            FPath = pattern;
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        if (!FPath.empty())
            std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};
