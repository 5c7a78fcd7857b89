#include "platform/qt/OpenTimeStopwatch.h"

// Qt's headers go before Xlib's, whose macros (Bool, Status) they would otherwise meet.
#include <QApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

bool Painted(Display* X, Window W)
{
    XImage* image = XGetImage(X, W, 20, 20, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const bool painted = XGetPixel(image, 0, 0) != 0;
    XDestroyImage(image);
    return painted;
}

pid_t Start(const std::vector<std::string>& Args)
{
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : Args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// Ignores X errors: the watched window may vanish between the map and the pixel read.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

}  // namespace

int ShowEmptyQtWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(539, 576);
    window.show();
    return app.exec();
}

TOpenTimeStopwatch::TOpenTimeStopwatch() : X(XOpenDisplay(nullptr))
{
    if (X == nullptr)
        return;
    XSetErrorHandler(IgnoreError);
    XSelectInput(X, DefaultRootWindow(X), SubstructureNotifyMask);
}

TOpenTimeStopwatch::~TOpenTimeStopwatch()
{
    if (X != nullptr)
        XCloseDisplay(X);
}

double TOpenTimeStopwatch::MillisecondsToFirstPaint(const std::vector<std::string>& Args)
{
    if (X == nullptr)
        return -1;
    XSync(X, True);
    const auto start = Clock::now();
    const pid_t child = Start(Args);
    Window mapped = 0;
    double ms = -1;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        while (mapped == 0 && XPending(X) > 0) {
            XEvent event;
            XNextEvent(X, &event);
            if (event.type == MapNotify)
                mapped = event.xmap.window;
        }
        if (mapped != 0 && Painted(X, mapped)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        usleep(500);
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return ms;
}

}  // namespace plat
