// A form: a top-level window of the application. Its screen is what a display object binds to
// for full-screen use; the application's main form ends the application when it closes.
//
// Whoever makes the form hands it its screen (the start path an SDL window or another program's
// window, tests and tools a headless one) and its application object; the form owns the screen
// and gives its components the application, so two forms in one process run side by side.
#pragma once

#include "engine/Component.h"

#include <memory>

namespace plat {
class Application;
class Screen;
}  // namespace plat

enum class TFormBorderStyle { bsNone, bsSizeable };

class TForm : public TControl {
public:
    // AScreen must not be null.
    TForm(TComponent* AOwner, plat::Application& AApplication, std::unique_ptr<plat::Screen> AScreen);
    ~TForm() override;
    const char* ClassName() const override { return "TForm"; }

    plat::Application& Application() const { return FApplication; }
    plat::Screen* Screen() const { return FScreen.get(); }

    void Hide() { Visible = false; }
    // Closes the form; the application ends when it is its main form.
    void Close();
    bool Closed() const { return FClosed; }

    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    // False for a form that runs beside the main one (the saver's window on another monitor).
    bool MainForm = true;

private:
    plat::Application& FApplication;
    std::unique_ptr<plat::Screen> FScreen;
    bool FClosed = false;
};

// The application of the form that owns Component, directly or through its owners. A component
// outside any form is given its application by whoever makes it; asking here for one is a
// broken invariant (the program stops, saying so).
plat::Application& ApplicationOf(const TComponent* Component);
