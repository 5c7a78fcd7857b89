#include "platform/runtime/DescriptorWait.h"

#include <poll.h>

#include <cerrno>
#include <cstddef>

namespace plat {

void WaitForAny(std::vector<TDescriptorWait>& Waits, int TimeoutMs)
{
    std::vector<pollfd> polled;
    for (const TDescriptorWait& wait : Waits)
        polled.push_back({wait.Descriptor, static_cast<short>(wait.Events ? wait.Events : POLLIN), 0});
    while (poll(polled.data(), polled.size(), TimeoutMs) < 0 && errno == EINTR) {}
    for (std::size_t i = 0; i < Waits.size(); ++i)
        Waits[i].Ready = Waits[i].Descriptor >= 0 && polled[i].revents != 0;
}

}  // namespace plat
