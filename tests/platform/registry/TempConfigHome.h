// Test fixture: points XDG_CONFIG_HOME at a fresh temporary folder for one test and removes the
// folder afterwards, so no test touches the real user's settings or sees another test's.
#pragma once

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempConfigHome : public ::testing::Test {
protected:
    explicit TempConfigHome(const std::string& Base = "/tmp") : FFolder("settings", Base) {}

    void SetUp() override
    {
        ASSERT_FALSE(FFolder.Path().empty());
        FRoot = FFolder.Path();
        const char* Old = std::getenv("XDG_CONFIG_HOME");
        FHadOld = Old != nullptr;
        if (FHadOld)
            FOld = Old;
        ::setenv("XDG_CONFIG_HOME", FRoot.c_str(), 1);
    }

    void TearDown() override
    {
        if (FHadOld)
            ::setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }

    std::string Root() const { return FRoot; }
    std::string KeyFile() const { return FRoot + "/Kestrin Software/Solvane Screensaver.reg"; }

    static std::string ReadFile(const std::string& Path)
    {
        std::ifstream In(Path, std::ios::binary);
        std::ostringstream Out;
        Out << In.rdbuf();
        return Out.str();
    }

    static void WriteFile(const std::string& Path, const std::string& Bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
        std::ofstream(Path, std::ios::binary) << Bytes;
    }

    // A key file as people write it: the header line, a blank line, the key, then Lines.
    void WriteKey(const std::string& Lines) const
    {
        WriteFile(KeyFile(),
                  "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\"
                  "Solvane Screensaver]\n" +
                      Lines);
    }

private:
    TTempFolder FFolder;
    std::string FRoot;
    std::string FOld;
    bool FHadOld = false;
};
