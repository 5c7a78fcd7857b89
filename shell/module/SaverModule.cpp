// The saver's module: every mode but the settings dialog (the full-screen saver, the daemon's
// hack, the preview, the password change) with the display and sound stack they draw and play
// with, which only this module links.
#include "platform/app/Application.h"
#include "shell/Modes.h"
#include "shell/ModuleHost.h"

extern "C" __attribute__((visibility("default"))) int SolvaneRun(const TModuleHost* Host)
{
    // The saver's message boxes and input are SDL's from the start, before any window exists.
    plat::Application::UseSdl();
    return shell::RunSaverProgram(*Host->Start);
}
