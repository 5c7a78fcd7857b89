// The base of tests that run the real executable on a private Xvfb server: settings, runtime
// folder (so the music lock is the test's own) and display all private to the test, so tests
// running side by side neither share a lock nor cover each other's windows.
#pragma once

#include "tests/platform/registry/TempConfigHome.h"
#include "tests/shell/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

class PrivateSaverRun : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display for end-to-end tests";
        X = std::make_unique<testproc::PrivateXServer>();
        ASSERT_FALSE(X->Display().empty());
        Env = {{"DISPLAY", X->Display()},
               {"XDG_CONFIG_HOME", Root()},
               {"XDG_RUNTIME_DIR", Root()},
               {"ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1"}};
    }

    testproc::ChildProcess::Environment Env;
    std::unique_ptr<testproc::PrivateXServer> X;
};
