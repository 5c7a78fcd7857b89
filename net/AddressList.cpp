#include "net/AddressList.h"

#include "net/HttpLimits.h"

#include <algorithm>

std::vector<plat::NetAddress> ConnectionOrder(const std::vector<plat::NetAddress>& Preferred)
{
    std::vector<plat::NetAddress> first, second;
    for (const plat::NetAddress& address : Preferred) {
        // 0.0.0.0 and :: name no remote host (Linux would take them for this one).
        const bool unspecified =
            std::all_of(address.Bytes.begin(), address.Bytes.end(), [](uint8_t B) { return B == 0; });
        if (address.Family == plat::NetAddress::kNone || unspecified ||
            std::find(first.begin(), first.end(), address) != first.end() ||
            std::find(second.begin(), second.end(), address) != second.end())
            continue;
        (first.empty() || address.Family == first.front().Family ? first : second).push_back(address);
    }
    std::vector<plat::NetAddress> order;
    for (size_t i = 0; i < std::max(first.size(), second.size()) && order.size() < net::kMaxConnectAttempts; ++i) {
        if (i < first.size())
            order.push_back(first[i]);
        if (i < second.size() && order.size() < net::kMaxConnectAttempts)
            order.push_back(second[i]);
    }
    return order;
}
