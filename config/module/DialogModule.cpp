// The settings dialog's module: its one export runs the configuration mode; the built-in
// resources are the resources' module's (shell/module/HostResources.cpp).
#include "config/Configuration.h"

#include "platform/app/Application.h"
#include "platform/qt/FontConfiguration.h"
#include "platform/qt/QtWindowSystem.h"
#include "shell/ModuleHost.h"

#include <QApplication>
#include <QScreen>

#include <cstdlib>
#include <future>

namespace {

// Qt ends the process when it finds no display; the user is told instead.
bool HasDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int SolvaneConfigure(const TModuleHost* AHost)
{
    plat::Application& app = plat::App();
    app.Title = "Screensaver Configuration";
    if (!HasDisplay()) {
        app.MessageBox("The settings dialog needs a desktop display.", app.Title);
        return 0;
    }
    std::future<void> fonts = std::async(plat::LoadFontConfiguration);
    int argc = AHost->Argc;
    QApplication qt(argc, AHost->Argv);
    // The window's class (WM_CLASS "solvane", "Solvane") is what the menu entry's StartupWMClass
    // names, so taskbars put the dialog under the entry's icon; its title stays the caption.
    QApplication::setApplicationName(QStringLiteral("Solvane"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app.Title));
    fonts.wait();
    plat::TQtWindowSystem windowSystem(app);
    TForm2 form;
    const QRect desktop = form.screen()->availableGeometry();
    form.move(desktop.center() - form.rect().center());
    form.OnClosed = [&app] { app.Terminate(); };
    form.show();
    app.Run();
    return 0;
}
