// "Start the screensaver after" of the dialog with a program path that a shell would split or
// expand, against private settings and runtime folders and a private X server for the watcher
// (`solvane --idle`, reached through a link of that name): an autostart folder that cannot be made
// is reported and the dialog stays open; then OK writes an entry that desktop-file-validate accepts,
// starts the watcher, and the entry starts it again when GLib's launcher runs it as GNOME's session
// does. (tests/shell/DialogProcessTest.cpp drives the box in the dialog's own process.)
#include "config/Configuration.h"
#include "platform/runtime/IdleWatcher.h"
#include "tests/config/QtTestApp.h"
#include "tests/platform/registry/TempConfigHome.h"
#include "tests/shell/ChildProcess.h"
#include "ui_Configuration.h"

#include <filesystem>

namespace {

using namespace std::chrono_literals;

class IdleStartTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        QtTestApp();
        if (!Display.Started())
            GTEST_SKIP() << "no X server for the watcher";
        // The watcher watches the private server alone, and its lock is the test's own.
        Environment = std::make_unique<testproc::ScopedEnvironment>(testproc::ChildProcess::Environment{
            {"XDG_RUNTIME_DIR", Root()}, {"WAYLAND_DISPLAY", ""}, {"DBUS_SESSION_BUS_ADDRESS", ""}});
        std::filesystem::create_directories(Root() + "/my programs");
        Watcher = Root() + "/my programs/idle $HOME";
        std::filesystem::create_symlink(SOLVANE_BINARY_DIR "/solvane", Watcher);
    }
    void TearDown() override
    {
        if (Environment)
            plat::EndIdleWatcher();
        Environment.reset();
        TempConfigHome::TearDown();
    }
    static bool WatcherRuns()
    {
        return testproc::PollUntil([] { return plat::RunningIdleWatcher() > 0; }, 20s);
    }

    testproc::ScopedPrivateDisplay Display;
    std::unique_ptr<testproc::ScopedEnvironment> Environment;
    std::string Watcher;
    QStringList Errors;
};

TEST_F(IdleStartTest, AnAwkwardProgramPathStartsAndAMissingFolderIsReported)
{
    WriteFile(Root() + "/autostart", "a file where the folder belongs");
    TForm2 form([this](const QString& M) { Errors << M; }, nullptr, nullptr, Watcher);
    form.show();
    form.Controls().CheckBox3StartAfter->setChecked(true);
    form.BTOKClick();
    const std::string entry = Root() + "/autostart/solvane-idle.desktop";
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].startsWith(QString::fromStdString("The screensaver will not start by itself.\n\n" + entry +
                                                            ": its folder cannot be made (")))
        << Errors[0].toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(plat::RunningIdleWatcher(), 0);

    std::filesystem::remove(Root() + "/autostart");
    form.BTOKClick();
    EXPECT_FALSE(form.isVisible());
    int status = -1;
    const std::string complaints = testproc::RunCommand("desktop-file-validate '" + entry + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << complaints << ReadFile(entry);
    EXPECT_EQ(complaints, "");
    ASSERT_TRUE(WatcherRuns()) << "OK started no watcher";
    ASSERT_TRUE(plat::EndIdleWatcher());
    // The launched watcher keeps what it inherits open, so nothing of it may be the test's pipe.
    testproc::RunCommand("gio launch '" + entry + "' >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(WatcherRuns()) << "the entry as a desktop launches it started no watcher";
}

}  // namespace
