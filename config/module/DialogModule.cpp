// The settings dialog's module: its one export runs the configuration mode, and the built-in
// resources are the executable's, reached through the host it is given. Defining
// assets::FindResource here keeps the library's own lookup, and with it a second copy of every
// picture and table, out of the module.
#include "config/Configuration.h"
#include "config/DialogEntry.h"

#include "assets/Resources.h"
#include "platform/app/Application.h"
#include "platform/qt/QtWindowSystem.h"

#include <QApplication>
#include <QScreen>

#include <cstdlib>
#include <string>

namespace {

const TDialogHost* Host = nullptr;

// Qt ends the process when it finds no display; the user is told instead.
bool HasDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

}  // namespace

namespace assets {

std::span<const uint8_t> FindResource(std::string_view Name)
{
    if (Host == nullptr)
        return {};
    const TDialogResource found = Host->FindResource(std::string(Name).c_str());
    return {found.Data, found.Data ? found.Size : 0};
}

}  // namespace assets

extern "C" __attribute__((visibility("default"))) int SolvaneConfigure(const TDialogHost* AHost)
{
    Host = AHost;
    plat::Application& app = plat::App();
    app.Title = "Screensaver Configuration";
    if (!HasDisplay()) {
        app.MessageBox("The settings dialog needs a desktop display.", app.Title);
        return 0;
    }
    int argc = AHost->Argc;
    QApplication qt(argc, AHost->Argv);
    QApplication::setApplicationName(QString::fromLatin1(app.Title));
    plat::TQtWindowSystem windowSystem(app);
    TForm2 form;
    const QRect desktop = form.screen()->availableGeometry();
    form.move(desktop.center() - form.rect().center());
    form.OnClosed = [&app] { app.Terminate(); };
    form.show();
    app.Run();
    return 0;
}
