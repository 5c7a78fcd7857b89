// The one QApplication of the test process, on the offscreen platform unless the environment
// names another; made on first use and kept until the process ends.
#pragma once

#include <QApplication>

#include <cstdlib>

inline QApplication& QtTestApp()
{
    static int Argc = 1;
    static char Name[] = "solvane-tests";
    static char* Argv[] = {Name, nullptr};
    if (QApplication::instance() == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* Instance =
        qobject_cast<QApplication*>(QApplication::instance()) ?: new QApplication(Argc, Argv);
    return *Instance;
}
