// "Start the screensaver after" on the dialog's first page, driven as a person would (Qt Test
// clicks and keys on the real dialog) against private settings and runtime folders: turned on, OK
// writes an autostart entry that desktop-file-validate accepts and that starts a watcher when a
// desktop launches it (GLib's launcher, as GNOME's session does); turned off, the entry goes and
// the running watcher ends. A stand-in holding the watcher's lock plays the watcher.
#include "config/Configuration.h"
#include "platform/runtime/IdleWatcher.h"
#include "tests/config/QtTestApp.h"
#include "tests/platform/registry/TempConfigHome.h"
#include "tests/shell/ChildProcess.h"
#include "ui_Configuration.h"

#include <QTest>

#include <filesystem>

namespace {

using namespace std::chrono_literals;

class IdleStartTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        QtTestApp();
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            OldRuntime = old;
        setenv("XDG_RUNTIME_DIR", Runtime.Path().c_str(), 1);
        // A program path a shell would split or expand, as the entry has to quote it.
        const std::string folder = Root() + "/my programs";
        std::filesystem::create_directories(folder);
        Watcher = folder + "/idle $HOME";
        std::filesystem::create_symlink(SOLVANE_BINARY_DIR "/solvane-idle-standin", Watcher);
    }
    void TearDown() override
    {
        plat::EndIdleWatcher();
        if (OldRuntime.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", OldRuntime.c_str(), 1);
        TempConfigHome::TearDown();
    }
    std::unique_ptr<TForm2> Open()
    {
        auto form = std::make_unique<TForm2>([this](const QString& M) { Errors << M; }, nullptr, nullptr, Watcher);
        form->show();
        return form;
    }
    std::string Entry() const { return Root() + "/autostart/solvane-idle.desktop"; }
    static bool WatcherRuns()
    {
        return testproc::PollUntil([] { return plat::RunningIdleWatcher() > 0; }, 5s);
    }

    TTempFolder Runtime{"runtime"};
    std::string OldRuntime;
    std::string Watcher;
    QStringList Errors;
};

const std::string kOldKey =
    "\"Brightness\"=dword:00000080\n\"SoundVolume\"=dword:00000040\n\"ShowBlack\"=dword:00000000\n"
    "\"ShowTime\"=dword:00000001\n\"ShowWeather\"=dword:00000000\n\"ShowNews\"=dword:00000000\n"
    "\"WeatherCode\"=\"GMXX0087\"\n\"TDegree\"=\"c\"\n\"RSS_Url\"=\"http://example.org/rss\"\n"
    "\"UseProxy\"=dword:00000000\n\"Proxy\"=\"\"\n\"Port\"=\"\"\n";

TEST_F(IdleStartTest, TurnedOnTheEntryStartsAWatcherAndTurnedOffBothGo)
{
    WriteKey(kOldKey);
    auto form = Open();
    const Ui::TForm2& c = form->Controls();
    EXPECT_FALSE(c.CheckBox3StartAfter->isChecked());
    EXPECT_FALSE(c.SpinEdit1Minutes->isEnabled());
    EXPECT_EQ(c.SpinEdit1Minutes->value(), 10);
    QTest::mouseClick(c.CheckBox3StartAfter, Qt::LeftButton, {}, QPoint(8, 10));
    ASSERT_TRUE(c.SpinEdit1Minutes->isEnabled());
    QTest::keyClick(c.SpinEdit1Minutes, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(c.SpinEdit1Minutes, "25");
    QTest::mouseClick(c.BTOK, Qt::LeftButton);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    EXPECT_FALSE(form->isVisible());
    const std::string key = ReadFile(KeyFile());
    EXPECT_NE(key.find(kOldKey), std::string::npos) << key;  // the twelve as they were
    EXPECT_NE(key.find("\"StartAfterIdle\"=dword:00000001\n\"IdleMinutes\"=dword:00000019\n"), std::string::npos);

    int status = -1;
    const std::string complaints = testproc::RunCommand("desktop-file-validate '" + Entry() + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << complaints << ReadFile(Entry());
    EXPECT_EQ(complaints, "");
    ASSERT_TRUE(WatcherRuns()) << "OK started no watcher";
    const std::string proc = "/proc/" + std::to_string(plat::RunningIdleWatcher());
    EXPECT_EQ(std::filesystem::read_symlink(proc + "/exe"), SOLVANE_BINARY_DIR "/solvane-idle-standin");
    EXPECT_EQ(ReadFile(proc + "/cmdline"), Watcher + std::string("\0--idle\0", 8));

    ASSERT_TRUE(plat::EndIdleWatcher());
    // The launched watcher keeps what it inherits open, so nothing of it may be the test's pipe.
    testproc::RunCommand("gio launch '" + Entry() + "' >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(WatcherRuns()) << "the entry as a desktop launches it started no watcher";

    auto again = Open();
    EXPECT_TRUE(again->Controls().CheckBox3StartAfter->isChecked());
    EXPECT_EQ(again->Controls().SpinEdit1Minutes->value(), 25);
    QTest::mouseClick(again->Controls().CheckBox3StartAfter, Qt::LeftButton, {}, QPoint(8, 10));
    QTest::keyClick(again.get(), Qt::Key_Return);
    EXPECT_FALSE(std::filesystem::exists(Entry()));
    EXPECT_EQ(plat::RunningIdleWatcher(), 0);
    EXPECT_NE(ReadFile(KeyFile()).find("\"StartAfterIdle\"=dword:00000000\n"), std::string::npos);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

// An entry that cannot be written is reported with its file; the settings are stored, the dialog
// stays open, and OK tries again once the cause is gone.
TEST_F(IdleStartTest, AnEntryThatCannotBeWrittenIsReported)
{
    WriteFile(Root() + "/autostart", "a file where the folder belongs");
    auto form = Open();
    form->Controls().CheckBox3StartAfter->setChecked(true);
    form->BTOKClick();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].startsWith(QString::fromStdString("The screensaver will not start by itself.\n\n" + Entry() +
                                                            ": its folder cannot be made (")))
        << Errors[0].toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(plat::RunningIdleWatcher(), 0);
    std::filesystem::remove(Root() + "/autostart");
    form->BTOKClick();
    EXPECT_TRUE(std::filesystem::exists(Entry()));
    EXPECT_TRUE(WatcherRuns());
}

}  // namespace
