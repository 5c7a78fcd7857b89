// The end requests a screensaver daemon or a terminal sends (SIGTERM, SIGINT, SIGHUP) turned into
// the application's quit event, so the saver ends through its own exit path (music stopped, the
// user's volume given back) instead of dying in the middle of a frame. A window system that went
// away asks the same way (RequestQuit), from whichever thread noticed.
//
// The handler only sets a flag (all a signal handler may safely do); the UI thread picks it up at
// its next pass, which comes within the loop's 10 ms sleep. SA_RESETHAND: a second signal, sent
// because the first clean end hangs, ends the process the default way.
#include "platform/app/Application.h"

#include <atomic>
#include <csignal>

namespace plat {
namespace {

// Lock-free, so a signal handler may set it, and atomic, so any other thread may.
std::atomic<bool> gQuitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void NoteQuitSignal(int)
{
    RequestQuit();
}

}  // namespace

void RequestQuit()
{
    gQuitSignalled = true;
}

void CatchQuitSignals()
{
    struct sigaction action {};
    action.sa_handler = NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool TakeQuitSignal()
{
    return gQuitSignalled.exchange(false);
}

void Application::Quit()
{
    if (OnQuit)
        OnQuit();
    else
        Terminate();
}

}  // namespace plat
