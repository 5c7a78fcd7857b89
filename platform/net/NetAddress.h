// A numeric internet address, IPv4 or IPv6, as the socket layer connects to it.
//
// Plain bytes in network order, so the client above platform/ can order, compare and show
// addresses without a socket header. An IPv6 address keeps its scope (the interface of a
// link-local address such as fe80::1%eth0).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

struct NetAddress {
    enum Kind : uint8_t { kNone = 0, kIPv4 = 4, kIPv6 = 6 };

    Kind Family = kNone;
    // IPv4 in the first four bytes; the rest zero.
    std::array<uint8_t, 16> Bytes{};
    uint32_t ScopeId = 0;

    bool operator==(const NetAddress&) const = default;
};

// A dotted IPv4 address ("127.0.0.1") or an IPv6 one ("::1", "fe80::1%lo") without brackets.
bool ParseNumericAddress(std::string_view Text, NetAddress& Address);
// "127.0.0.1", "::1"; empty for kNone.
std::string AddressText(const NetAddress& Address);

}  // namespace plat
