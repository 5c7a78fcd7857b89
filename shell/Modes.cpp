#include "shell/Modes.h"

#include "engine/StrToInt.h"
#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/sdl/SdlDisplays.h"
#include "platform/shell/Library.h"
#include "platform/types/DisplayList.h"
#include "platform/x11/DisplayLoss.h"
#include "platform/x11/ForeignScreen.h"
#include "shell/ModuleHost.h"
#include "shell/Preview.h"
#include "shell/SaverSession.h"
#include "shell/Start.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace shell {
namespace {

constexpr const char* kPasswordCaption = "Screen saver";

// The system's password routine: registry key name, owner window, two reserved values.
using TPwdChangePassword = uint32_t (*)(const char* KeyName, intptr_t Owner, uint32_t, uint32_t);

// The saver full screen on every monitor, or as a daemon's hack in the daemon's window.
void RunSaver(const TStart& Start)
{
    plat::Application& app = plat::App();
    // A daemon ends the saver with SIGTERM: that goes through ExitSaver like Escape does.
    plat::CatchQuitSignals();
    TSaverSession session(app, Start.Hack ? nullptr : plat::DesktopMonitors(), !Start.NoMusic);
    if (Start.Hack) {
        const unsigned long window = Start.Window;
        session.MakeScreen = [window] { return plat::CreateForeignWindowScreen(window); };
        session.HackMode = true;
    }
    session.Start();
    app.Run();
    session.Stop();
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

void RunMode(const TStart& Start)
{
    // The preview's and the password change's window is converted inside the exception handler.
    if (!Start.Fault.empty())
        throw EConvertError(Start.Fault);
    switch (Start.Mode) {
    case TSaverMode::Saver: RunSaver(Start); break;
    case TSaverMode::Configuration: ReportMissingDialog(); break;
    case TSaverMode::Preview: RunPreview(Start.Window); break;
    case TSaverMode::Password: RunPasswordChange(Start.Window, "MPR.DLL", ShowOnDesktop); break;
    }
}

}  // namespace

void RunPasswordChange(unsigned long OwnerWindow, const std::string& LibraryName, const TMessageSink& Show)
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
    change("SCRSAVE", static_cast<intptr_t>(OwnerWindow), 0, 0);
}

int RunSaverProgram(const TStart& Start)
{
    if (Start.Mode == TSaverMode::Saver && !Start.Fault.empty()) {
        // A daemon's start with a bad window id: nothing to draw into.
        std::fprintf(stderr, "solvane: %s\n", Start.Fault.c_str());
        return 1;
    }
    try {
        RunMode(Start);
    } catch (const std::exception& e) {
        plat::App().ShowException(e);
    }
    // Ended through the saver's own exit all the same, with the status Xlib's own end gave.
    return plat::DisplayLost() ? 1 : 0;
}

}  // namespace shell
