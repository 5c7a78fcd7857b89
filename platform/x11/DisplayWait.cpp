#include "platform/x11/DisplayWait.h"

#include <X11/Xlib.h>

#include <vector>

#include "platform/app/Application.h"

namespace plat {

void WaitForX11(_XDisplay* Display, std::span<const int> Fds, int TimeoutMs)
{
    // Flushes what the pass asked of the server, and takes what has arrived, without blocking.
    if (XEventsQueued(Display, QueuedAfterFlush) > 0)
        return;
    std::vector<int> fds(Fds.begin(), Fds.end());
    fds.push_back(ConnectionNumber(Display));
    WaitReadable(fds, TimeoutMs);
}

}  // namespace plat
