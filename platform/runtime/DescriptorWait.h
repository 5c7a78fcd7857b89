// Sleeping until one of several descriptors has news: the idle watcher's only wait, so it uses no
// processor time between events, and the application loop's between its passes.
#pragma once

#include <vector>

namespace plat {

struct TDescriptorWait {
    int Descriptor = -1;  // left out when negative
    short Events = 0;  // poll(2) events; readable when 0
    bool Ready = false;  // set by WaitForAny: the events came, or the descriptor hung up
};

// Sleeps until at least one of the descriptors is ready or TimeoutMs has passed (-1: no time
// limit) and marks the ready ones.
void WaitForAny(std::vector<TDescriptorWait>& Waits, int TimeoutMs = -1);

}  // namespace plat
