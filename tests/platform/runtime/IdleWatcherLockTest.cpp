// The session's watcher lock as the settings dialog sees it: who holds it, and a watcher that
// cannot be started reported as such.
#include "platform/runtime/IdleWatcher.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

TEST(IdleWatcherLock, NamesItsHolderAndReportsAWatcherThatCannotStart)
{
    TTempFolder runtime("idle-lock");
    const char* before = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = before != nullptr ? before : "";
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    EXPECT_EQ(plat::RunningIdleWatcher(), 0);
    EXPECT_TRUE(plat::EndIdleWatcher()) << "nothing to end is no failure";
    {
        plat::RuntimeLock lock;
        ASSERT_TRUE(plat::HoldIdleWatcherLock(lock));
        EXPECT_EQ(plat::RunningIdleWatcher(), getpid());
    }
    EXPECT_EQ(plat::RunningIdleWatcher(), 0);
    EXPECT_FALSE(plat::StartIdleWatcher(runtime.Path() + "/no-such-program"));
    if (before != nullptr)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
