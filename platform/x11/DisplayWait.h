// The application loop's sleep on an Xlib connection (SDL's): until the connection has events,
// one of Waits is ready, or TimeoutMs (-1: no limit) has passed. Events that Xlib already read
// while waiting for a reply do not make the connection readable: with any in its queue it returns
// at once. Main thread (the connection's).
#pragma once

#include <vector>

#include "platform/runtime/DescriptorWait.h"

struct _XDisplay;

namespace plat {

void WaitForX11(_XDisplay* Display, std::vector<TDescriptorWait>& Waits, int TimeoutMs);

}  // namespace plat
