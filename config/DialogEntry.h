// The door between the executable and the settings dialog's module (solvane-dialog.so). The
// saver mode must not map Qt, so the dialog lives in a module that only the configuration mode
// loads; the executable hands it what stays the executable's own, above all the built-in
// resources, so that every picture and table exists once. Plain C: no Qt on this side.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// The bytes of a built-in resource by name (see assets/Resources.h); Data is null when missing.
struct TDialogResource {
    const uint8_t* Data;
    size_t Size;
};

struct TDialogHost {
    int Argc;
    char** Argv;  // outlives the call
    TDialogResource (*FindResource)(const char* Name);
};

// Runs the dialog as the application's main window until it closes; returns the exit code.
using TSolvaneConfigure = int (*)(const TDialogHost* Host);
}

// The module's file name and its one export.
inline constexpr const char* kDialogModuleName = "solvane-dialog.so";
inline constexpr const char* kDialogEntryName = "SolvaneConfigure";
