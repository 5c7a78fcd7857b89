// The saver window's input rules, start-up and shutdown, on a headless screen with its own
// application object; web pages are opened through a stand-in launcher first on PATH.
#include "shell/Unit1.h"

#include "engine/HostNames.h"
#include "engine/Kss.h"
#include "net/OpenMeteo.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A screen whose window cannot be made, as without a display.
class TNoWindowScreen : public plat::HeadlessScreen {
protected:
    bool OpenWindow(int, int, int) override { return false; }
};

class Unit1Test : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        Form = std::make_unique<TForm1>(nullptr, App, std::make_unique<plat::HeadlessScreen>());
    }
    void TearDown() override
    {
        Form.reset();
        if (!FOldPath.empty())
            setenv("PATH", FOldPath.c_str(), 1);
        TempConfigHome::TearDown();
    }

    // Puts a launcher first on PATH that appends its argument to a log file.
    std::string InstallLauncher()
    {
        const std::string dir = Root() + "/bin";
        std::filesystem::create_directories(dir);
        const std::string log = Root() + "/opened.log";
        WriteFile(dir + "/xdg-open", "#!/bin/sh\nprintf '[%s]\\n' \"$1\" >> '" + log + "'\n");
        std::filesystem::permissions(dir + "/xdg-open", std::filesystem::perms::owner_all);
        FOldPath = std::getenv("PATH");
        setenv("PATH", (dir + ":" + FOldPath).c_str(), 1);
        return log;
    }

    static std::string WaitForFile(const std::string& Path)
    {
        for (int i = 0; i < 200; ++i) {
            const std::string text = ReadFile(Path);
            if (!text.empty())
                return text;
            std::this_thread::sleep_for(10ms);
        }
        return {};
    }

    bool Exited() const { return Form->Closed() && App.Terminated(); }

    plat::Application App;
    std::unique_ptr<TForm1> Form;

private:
    std::string FOldPath;
};

}  // namespace

TEST_F(Unit1Test, FirstMouseMoveOnlyRecordsThePosition)
{
    Form->FormMouseMove(Form.get(), 500, 400);
    EXPECT_FALSE(Exited());
    EXPECT_EQ(Form->LastMouseX, 500);
    EXPECT_EQ(Form->LastMouseY, 400);
}

TEST_F(Unit1Test, SixPixelsHorizontallyEndTheSaver)
{
    Form->FormMouseMove(Form.get(), 500, 400);
    Form->FormMouseMove(Form.get(), 506, 400);
    EXPECT_TRUE(Exited());
}

TEST_F(Unit1Test, FivePixelsOnEachAxisDoNot)
{
    Form->FormMouseMove(Form.get(), 500, 400);
    Form->FormMouseMove(Form.get(), 505, 405);
    Form->FormMouseMove(Form.get(), 500, 400);
    EXPECT_FALSE(Exited());
}

TEST_F(Unit1Test, OnTheLeftEdgeOnlyVerticalMovementCounts)
{
    Form->FormMouseMove(Form.get(), 0, 300);
    Form->FormMouseMove(Form.get(), 40, 300);  // LastMouseX was 0: not counted.
    EXPECT_FALSE(Exited());
    Form->FormMouseMove(Form.get(), 0, 300);
    Form->FormMouseMove(Form.get(), 0, 306);
    EXPECT_TRUE(Exited());
}

TEST_F(Unit1Test, LettersDoNothingAndEscapeEnds)
{
    Form->FormKeyPress(Form.get(), 'a');
    Form->FormKeyDown(Form.get(), 'A');
    Form->FormKeyDown(Form.get(), 112);  // F1
    EXPECT_FALSE(Exited());
    Form->FormKeyPress(Form.get(), 27);
    EXPECT_TRUE(Exited());
}

TEST_F(Unit1Test, StartUpOpensTheDisplayRunsFramesAndHidesTheCursor)
{
    Form->FormCreate(Form.get());
    EXPECT_TRUE(Form->Kss1->GetEnabled());
    EXPECT_TRUE(Form->Kss1->GetTimerEnabled());
    EXPECT_FALSE(Form->Kss1->GetUseIdle());
    EXPECT_EQ(Form->Kss1->GetInterval(), 45);
    EXPECT_EQ(Form->Kss1->GetWidthScreen(), 1024);
    EXPECT_EQ(Form->Kss1->GetHeightScreen(), 768);
    EXPECT_EQ(Form->Kss1->GetColorDepth(), 32);
    EXPECT_NE(Form->Kss1->GetBack(), nullptr) << Form->Kss1->GetErrorResult();
    EXPECT_EQ(App.ShowCursor(true), 0);  // FormCreate took it to -1.
    App.ShowCursor(false);
}

TEST_F(Unit1Test, ExitSaverClosesEverythingOnceAndShowsTheCursor)
{
    Form->FormCreate(Form.get());
    Form->ExitSaver();
    EXPECT_TRUE(Exited());
    EXPECT_FALSE(Form->Kss1->GetTimerEnabled());
    EXPECT_FALSE(Form->Kss1->GetEnabled());
    EXPECT_EQ(Form->Kss1->GetDirectDraw(), nullptr);
    EXPECT_EQ(Form->BorderStyle, TFormBorderStyle::bsSizeable);
    EXPECT_EQ(Form->Width, 20);
    EXPECT_EQ(Form->Height, 20);
    Form->FormKeyPress(Form.get(), 27);  // A second exit does nothing more.
    EXPECT_EQ(App.ShowCursor(false), -1);  // Shown exactly once again: back at 0 before this.
}

TEST_F(Unit1Test, F2OpensTheNewsLinkAndEnds)
{
    const std::string log = InstallLauncher();
    Form->NewsLink = " https://news.test/?a=1&amp;b=2\n";
    Form->FormKeyDown(Form.get(), VK_F2);
    EXPECT_TRUE(Exited());
    EXPECT_EQ(WaitForFile(log), "[https://news.test/?a=1&b=2]\n");
}

TEST_F(Unit1Test, F3OpensTheForecastPageForTheSettings)
{
    WriteKey("\"Brightness\"=dword:00000100\n\"SoundVolume\"=dword:000000c8\n\"TDegree\"=\"c\"\n"
             "\"WeatherCode\"=\"20001\"\n\"RSS_Url\"=\"\"\n\"ShowTime\"=dword:00000001\n"
             "\"ShowWeather\"=dword:00000001\n\"ShowNews\"=dword:00000001\n"
             "\"ShowBlack\"=dword:00000000\n\"UseProxy\"=dword:00000000\n\"Proxy\"=\"\"\n\"Port\"=\"\"\n");
    Form->Kss1->SetBrandName("Kestrin Software");
    Form->Kss1->SetSSName("Solvane Screensaver");
    Form->Kss1->SetRegistry();
    const std::string page = ForecastPageAddress("20001", "c");
    EXPECT_EQ(page.substr(0, std::string(hosts::kWeatherSite).size() + 1), std::string(hosts::kWeatherSite) + "/");
    EXPECT_EQ(page.substr(page.size() - 2), "?m");
    EXPECT_EQ(Form->ForecastAddress(), page);
    const std::string log = InstallLauncher();
    Form->FormKeyDown(Form.get(), VK_F3);
    EXPECT_TRUE(Exited());
    EXPECT_EQ(WaitForFile(log), "[" + page + "]\n");
}

TEST_F(Unit1Test, FahrenheitForecastPageAsksForUsUnits)
{
    Form->FormCreate(Form.get());  // First start: the defaults, "f" and "20001".
    EXPECT_EQ(Form->ForecastAddress(), ForecastPageAddress("20001", "f"));
    Form->ExitSaver();
}

TEST_F(Unit1Test, FunctionKeysAfterTheExitBeganOpenNothing)
{
    const std::string log = InstallLauncher();
    Form->FormKeyPress(Form.get(), 27);
    Form->FormKeyDown(Form.get(), VK_F2);
    Form->FormKeyDown(Form.get(), VK_F3);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(std::filesystem::exists(log));
}

TEST_F(Unit1Test, SaverWithoutADisplayEndsInsteadOfWaiting)
{
    plat::Application app;
    TForm1 form(nullptr, app, std::make_unique<TNoWindowScreen>());
    form.FormCreate(&form);
    EXPECT_EQ(form.Kss1->GetErrorResult(), "Error SetDisplayMode");
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(form.Kss1->GetTimerEnabled());
    EXPECT_EQ(app.ShowCursor(false), -1);  // Never hidden, never shown: the count was back at 0.
}
