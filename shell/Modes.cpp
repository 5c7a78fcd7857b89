#include "shell/Modes.h"

#include "engine/StrToInt.h"
#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/shell/Library.h"
#include "platform/types/DisplayList.h"
#include "shell/HackStart.h"
#include "shell/ModuleHost.h"
#include "shell/Preview.h"
#include "shell/SaverSession.h"
#include "shell/Unit1.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

namespace shell {
namespace {

constexpr const char* kPasswordCaption = "Screen saver";

// The system's password routine: registry key name, owner window, two reserved values.
using TPwdChangePassword = uint32_t (*)(const char* KeyName, intptr_t Owner, uint32_t, uint32_t);

// The saver full screen on every monitor, or as a daemon's hack in the daemon's window.
void RunSaver(const THackStart& Start)
{
    plat::Application& app = plat::App();
    // A daemon ends the saver with SIGTERM: that goes through ExitSaver like Escape does.
    plat::CatchQuitSignals();
    if (!Start.Hack) {
        TSaverSession session(app, plat::DesktopMonitors(), !Start.NoMusic);
        session.Start();
        app.Run();
        session.Stop();
        return;
    }
    auto form = std::make_unique<TForm1>(nullptr, app, plat::CreateForeignWindowScreen(Start.Window));
    form->HackMode = true;
    form->MusicWanted = !Start.NoMusic;
    form->FormCreate(form.get());
    app.Run();
}

// The launcher starts the dialog's module itself: this mode runs only when that module is
// missing or damaged.
void ReportMissingDialog()
{
    plat::Application& app = plat::App();
    app.Title = "Screensaver Configuration";
    app.MessageBox(std::string("The settings dialog cannot be loaded (") + kDialogModuleName +
                       " is missing or damaged).",
                   app.Title);
}

void ShowOnDesktop(const std::string& Text, const std::string& Caption)
{
    plat::App().MessageBox(Text, Caption);
}

void RunMode(int argc, const char* const* argv)
{
    const std::string first = argc > 1 ? argv[1] : "";
    const std::string second = argc > 2 ? argv[2] : "";
    switch (ModeOf(first)) {
    case TSaverMode::Saver:
        RunSaver(HackStartOf(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                             std::getenv("XSCREENSAVER_WINDOW")));
        break;
    case TSaverMode::Configuration: ReportMissingDialog(); break;
    case TSaverMode::Preview: RunPreview(StrToInt(second)); break;
    case TSaverMode::Password: RunPasswordChange(StrToInt(second), "MPR.DLL", ShowOnDesktop); break;
    }
}

}  // namespace

void RunPasswordChange(int32_t OwnerWindow, const std::string& LibraryName, const TMessageSink& Show)
{
    plat::Library library;
    if (!library.Load(LibraryName)) {
        Show("MPR.DLL not found: cannot change password.", kPasswordCaption);
        return;
    }
    auto change = reinterpret_cast<TPwdChangePassword>(library.Symbol("PwdChangePasswordA"));
    if (change == nullptr) {
        library.Free();
        Show("PwdChangeProc not found: cannot change password", kPasswordCaption);
        return;
    }
    change("SCRSAVE", OwnerWindow, 0, 0);
}

int RunSaverProgram(int argc, const char* const* argv)
{
    try {
        RunMode(argc, argv);
    } catch (const EBadHackStart& e) {
        // A daemon's start with a bad window id: nothing to draw into.
        std::fprintf(stderr, "solvane: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        plat::App().ShowException(e);
    }
    return 0;
}

}  // namespace shell
