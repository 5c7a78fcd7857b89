// Fuzzes the address list: literal addresses read back as they are written, and any list of
// addresses comes out in connection order: each once (the unspecified ones never), the first
// first, the families alternating
// until one runs out, each family in the order given, at most the attempts allowed.
#include "net/AddressList.h"
#include "net/HttpLimits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string text(reinterpret_cast<const char*>(Data), std::min<size_t>(Size, 64));
    plat::NetAddress parsed;
    if (plat::ParseNumericAddress(text, parsed)) {
        plat::NetAddress again;
        if (!plat::ParseNumericAddress(plat::AddressText(parsed), again) || again.Bytes != parsed.Bytes ||
            again.Family != parsed.Family)
            std::abort();
    }
    std::vector<plat::NetAddress> list;
    for (size_t at = 0; at + 5 <= Size; at += 5) {
        plat::NetAddress address;
        address.Family = Data[at] & 1 ? plat::NetAddress::kIPv6 : plat::NetAddress::kIPv4;
        std::memcpy(address.Bytes.data(), Data + at + 1, 4);
        list.push_back(address);
    }
    const std::vector<plat::NetAddress> order = ConnectionOrder(list);
    const auto first = std::find_if(list.begin(), list.end(), [](const plat::NetAddress& A) {
        return std::any_of(A.Bytes.begin(), A.Bytes.end(), [](uint8_t B) { return B != 0; });
    });
    if (order.size() > net::kMaxConnectAttempts || (first != list.end() && order.front() != *first) ||
        (first == list.end() && !order.empty()))
        std::abort();
    auto positionIn = [&](const plat::NetAddress& Address) { return std::find(list.begin(), list.end(), Address); };
    for (size_t i = 0; i < order.size(); ++i) {
        if (positionIn(order[i]) == list.end() || std::count(order.begin(), order.end(), order[i]) != 1)
            std::abort();
        const bool sameAsBefore = i > 0 && order[i].Family == order[i - 1].Family;
        const bool otherLater = std::any_of(order.begin() + static_cast<std::ptrdiff_t>(i), order.end(),
                                            [&](const plat::NetAddress& A) { return A.Family != order[i].Family; });
        if (sameAsBefore && otherLater)
            std::abort();
        for (size_t j = 0; j < i; ++j)
            if (order[j].Family == order[i].Family && positionIn(order[j]) > positionIn(order[i]))
                std::abort();
    }
    return 0;
}
