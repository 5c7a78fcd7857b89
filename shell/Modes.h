// The process's entry modes. The first command-line argument picks exactly one: the full-screen
// saver, the configuration dialog, the preview drawn into a window of the desktop's settings,
// or the password change. Every mode ends the process with code 0; an exception that escapes a
// mode is shown with the application's standard exception message. A screensaver daemon's start
// (Start.h) runs the saver in the daemon's window; one naming no usable window ends with code 1
// and the reason on standard error.
#pragma once

#include "shell/SaverMode.h"

#include <cstdint>
#include <functional>
#include <string>

namespace shell {

// Shows a text with a caption and waits until the user dismissed it.
using TMessageSink = std::function<void(const std::string& Text, const std::string& Caption)>;

// Runs the password change against the library and its "PwdChangePasswordA" export, reporting a
// missing library or export through Show.
void RunPasswordChange(unsigned long OwnerWindow, const std::string& LibraryName, const TMessageSink& Show);

struct TStart;

// Runs the mode the command line asked for; returns the process exit code.
int RunSaverProgram(const TStart& Start);

}  // namespace shell
