// A whole scene on the headless screen, for tests: its own application object, a form with a
// headless screen, the display host at the saver's mode with settings from a private
// configuration folder, and the scene built on them. Frames are drawn on the calling thread,
// one at a time, the way the host's frame timer would draw them.
#pragma once

#include "engine/Form.h"
#include "engine/Kss.h"
#include "platform/app/Application.h"
#include "shell/Scene.h"
#include "tests/TempFolder.h"
#include "tests/platform/display/FakeDisplay.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace scenetest {

struct TSwitches {
    int32_t ShowTime = 0;
    int32_t ShowWeather = 0;
    int32_t ShowNews = 0;
    int32_t ShowBlack = 0;
    // The monitor the headless screen stands for (0: the frame's own size).
    int OutputWidth = 0;
    int OutputHeight = 0;
};

class TSceneStage {
public:
    // Build false leaves the scene constructed but not set up, for tests of the set-up itself.
    explicit TSceneStage(const TSwitches& Switches, bool Build = true)
    {
        const char* Old = std::getenv("XDG_CONFIG_HOME");
        FOldConfig = Old ? std::make_unique<std::string>(Old) : nullptr;
        ::setenv("XDG_CONFIG_HOME", FConfig.Path().c_str(), 1);

        auto OwnScreen = std::make_unique<displaytest::TFakeDisplay>();
        Screen = OwnScreen.get();
        Screen->SetOutputSize(Switches.OutputWidth, Switches.OutputHeight);
        Form = std::make_unique<TForm>(nullptr, App, std::move(OwnScreen));
        Kss1 = new TKss(Form.get());
        Kss1->SetBrandName("Kestrin Software");
        Kss1->SetSSName("Solvane Screensaver");
        Kss1->SetRegistry();  // a fresh folder: writes the first-use values
        Kss1->WriteRKey("ShowTime", Switches.ShowTime);
        Kss1->WriteRKey("ShowWeather", Switches.ShowWeather);
        Kss1->WriteRKey("ShowNews", Switches.ShowNews);
        Kss1->WriteRKey("ShowBlack", Switches.ShowBlack);
        Kss1->SetRegistry();

        Scene = std::make_unique<TScene>(Form.get(), Kss1);
        Kss1->SetUseIdle(false);
        Kss1->SetWidthScreen(1024);
        Kss1->SetHeightScreen(768);
        Kss1->SetColorDepth(32);
        Kss1->SetInterval(45);
        Kss1->SetEnabled(true);
        if (Build)
            Scene->Build();
    }

    ~TSceneStage()
    {
        Kss1->SetEnabled(false);
        Scene.reset();
        Form.reset();
        if (FOldConfig)
            ::setenv("XDG_CONFIG_HOME", FOldConfig->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }

    // Draws the next frame and flips it to the screen, in the host's order: loss check, clear,
    // scene, flip.
    void Frame()
    {
        Kss1->IsLostRestore();
        Kss1->ClearBackSurface();
        Scene->DrawFrame(ShortCycleFrame, LongCycleFrame);
        Kss1->FlipSurfaces();
        ++FramesDrawn;
    }

    // The newest flipped frame as the screen shows it.
    const plat::Picture& Shown()
    {
        Screen->PresentLatest();
        return Screen->Shown();
    }

    plat::Application App;
    displaytest::TFakeDisplay* Screen = nullptr;
    std::unique_ptr<TForm> Form;
    TKss* Kss1 = nullptr;
    std::unique_ptr<TScene> Scene;
    int32_t ShortCycleFrame = 0;
    int32_t LongCycleFrame = 0;
    int FramesDrawn = 0;

private:
    TTempFolder FConfig{"scene"};
    std::unique_ptr<std::string> FOldConfig;
};

}  // namespace scenetest
