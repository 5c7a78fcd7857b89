// A form: a top-level window of the application. Its screen is what a display object binds to
// for full-screen use; the application's main form ends the application when it closes.
//
// The screen is made on first use (an SDL window) unless the form was given one, which is how
// tests and tools run a form on a headless screen. A form belongs to one application object and
// gives its components that object, so two forms in one process can run side by side.
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
    explicit TForm(TComponent* AOwner, plat::Application& AApplication,
                   std::unique_ptr<plat::Screen> AScreen = nullptr);
    ~TForm() override;
    const char* ClassName() const override { return "TForm"; }

    plat::Application& Application() const { return FApplication; }
    plat::Screen* Screen();

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

// The application of the form that owns Component, directly or through its owners; a component
// outside any form (the settings dialog's, a tool's, a test's) has the process's application.
plat::Application& ApplicationOf(const TComponent* Component);
