#include "platform/x11/DisplayLoss.h"

#include "platform/app/Application.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>

namespace plat {
namespace {

// Set from whichever thread's Xlib call found a server gone.
std::atomic<bool> gDisplayLost{false};
std::atomic<bool> gLossReported{false};

// Xlib's own handler prints and exits at once. This one prints (once for all of the process's
// connections, which all break together) and returns: the connection's exit handler decides.
int ReportDisplayLoss(Display* D)
{
    if (!gLossReported.exchange(true))
        std::fprintf(stderr, "solvane: X connection to %s broken\n", DisplayString(D));
    return 0;
}

// Returning (instead of exiting, Xlib's default) leaves the connection marked broken.
void NoteDisplayLoss(Display*, void*)
{
    gDisplayLost = true;
    RequestQuit();
}

}  // namespace

void SurviveDisplayLoss(Display* D)
{
    if (D == nullptr)
        return;
    XSetIOErrorHandler(ReportDisplayLoss);
    XSetIOErrorExitHandler(D, NoteDisplayLoss, nullptr);
}

bool DisplayLost()
{
    return gDisplayLost;
}

}  // namespace plat
