#include "platform/x11/DisplayWait.h"

#include <X11/Xlib.h>

namespace plat {

void WaitForX11(_XDisplay* Display, std::vector<TDescriptorWait>& Waits, int TimeoutMs)
{
    // Flushes what the pass asked of the server, and takes what has arrived, without blocking.
    if (XEventsQueued(Display, QueuedAfterFlush) > 0)
        return;
    Waits.push_back({ConnectionNumber(Display)});
    WaitForAny(Waits, TimeoutMs);
}

}  // namespace plat
