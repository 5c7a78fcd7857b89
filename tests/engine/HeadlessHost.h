// Test fixture: a display host (TKss, named as the saver names itself) on a form over a fake
// display (a headless screen whose faults the test chooses), with the settings in a fresh folder.
// MakeHost replaces the form and host with new ones.
#pragma once

#include "engine/Form.h"
#include "engine/Kss.h"
#include "platform/app/Application.h"
#include "tests/platform/display/FakeDisplay.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <memory>

class HeadlessHostTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        MakeHost();
    }
    void TearDown() override
    {
        Form.reset();
        TempConfigHome::TearDown();
    }

    virtual void MakeHost()
    {
        Form.reset();
        auto screen = std::make_unique<displaytest::TFakeDisplay>();
        Screen = screen.get();
        Form = std::make_unique<TForm>(nullptr, App, std::move(screen));
        Kss = new TKss(Form.get());
        Kss->SetBrandName("Kestrin Software");
        Kss->SetSSName("Solvane Screensaver");
    }

    plat::Application App;
    displaytest::TFakeDisplay* Screen = nullptr;
    std::unique_ptr<TForm> Form;
    TKss* Kss = nullptr;
};
