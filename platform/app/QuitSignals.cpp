// The end requests a screensaver daemon or a terminal sends (SIGTERM, SIGINT, SIGHUP) turned into
// the application's quit event, so the saver ends through its own exit path (music stopped, the
// user's volume given back) instead of dying in the middle of a frame. A window system that went
// away asks the same way (RequestQuit), from whichever thread noticed.
//
// The handler only sets a flag and counts up an eventfd (a write, which a signal handler may make);
// the counter wakes the loop's sleep, and the UI thread picks the flag up at its next pass.
// SA_RESETHAND: a second signal, sent because the first clean end hangs, ends the process the
// default way.
#include "platform/app/Application.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace plat {
namespace {

// Lock-free, so a signal handler may set it, and atomic, so any other thread may.
std::atomic<bool> gQuitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);
// Made once, before the handler is installed, and never closed.
int gQuitFd = -1;

extern "C" void NoteQuitSignal(int)
{
    const int saved = errno;
    RequestQuit();
    errno = saved;
}

}  // namespace

int QuitSignalFd()
{
    return gQuitFd;
}

void RequestQuit()
{
    gQuitSignalled = true;
    const uint64_t one = 1;
    (void)!write(gQuitFd, &one, sizeof one);
}

void CatchQuitSignals()
{
    if (gQuitFd < 0)
        gQuitFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    struct sigaction action {};
    action.sa_handler = NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool TakeQuitSignal()
{
    if (!gQuitSignalled.exchange(false))
        return false;
    uint64_t count = 0;
    (void)!read(gQuitFd, &count, sizeof count);
    return true;
}

void Application::Quit()
{
    if (OnQuit)
        OnQuit();
    else
        Terminate();
}

}  // namespace plat
