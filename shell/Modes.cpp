#include "shell/Modes.h"

#include "assets/Resources.h"
#include "config/DialogEntry.h"
#include "engine/StrToInt.h"
#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/shell/Library.h"
#include "shell/Preview.h"
#include "shell/Unit1.h"

#include <cctype>
#include <exception>
#include <filesystem>
#include <memory>

namespace shell {
namespace {

constexpr const char* kPasswordCaption = "Screen saver";

// The system's password routine: registry key name, owner window, two reserved values.
using TPwdChangePassword = uint32_t (*)(const char* KeyName, intptr_t Owner, uint32_t, uint32_t);

void RunSaver()
{
    plat::Application& app = plat::App();
    auto form = std::make_unique<TForm1>(nullptr, app);
    form->FormCreate(form.get());
    app.Run();
}

TDialogResource FindBuiltIn(const char* Name)
{
    const std::span<const uint8_t> bytes = assets::FindResource(Name);
    return {bytes.empty() ? nullptr : bytes.data(), bytes.size()};
}

// The dialog's module beside the executable (a build tree), else where it is installed.
bool LoadDialogModule(plat::Library& Module)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (!error && Module.Load((self.parent_path() / kDialogModuleName).string())) ||
           Module.Load(std::string(SOLVANE_MODULE_DIR "/") + kDialogModuleName);
}

void RunConfiguration(int argc, const char* const* argv)
{
    plat::Application& app = plat::App();
    app.Title = "Screensaver Configuration";
    plat::Library module;
    const auto configure = LoadDialogModule(module)
        ? reinterpret_cast<TSolvaneConfigure>(module.Symbol(kDialogEntryName)) : nullptr;
    if (configure == nullptr) {
        app.MessageBox(std::string("The settings dialog cannot be loaded (") + kDialogModuleName +
                           " is missing or damaged).",
                       app.Title);
        return;
    }
    const TDialogHost host{argc, const_cast<char**>(argv), FindBuiltIn};
    configure(&host);
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
    case TSaverMode::Saver: RunSaver(); break;
    case TSaverMode::Configuration: RunConfiguration(argc, argv); break;
    case TSaverMode::Preview: RunPreview(StrToInt(second)); break;
    case TSaverMode::Password: RunPasswordChange(StrToInt(second), "MPR.DLL", ShowOnDesktop); break;
    }
}

}  // namespace

TSaverMode ModeOf(const std::string& Switch)
{
    std::string text;
    for (char c : Switch)
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text.size() < 2)
        return TSaverMode::Saver;
    if (text[0] == '/' || text[0] == '-')
        text.erase(0, 1);
    switch (text.empty() ? '\0' : text[0]) {
    case 'P': return TSaverMode::Preview;
    case 'C': return TSaverMode::Configuration;
    case 'A': return TSaverMode::Password;
    default: return TSaverMode::Saver;
    }
}

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
    } catch (const std::exception& e) {
        plat::App().ShowException(e);
    }
    return 0;
}

}  // namespace shell
