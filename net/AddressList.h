// The order in which the socket client tries the addresses of a name (RFC 8305, section 4).
//
// The resolver gives a name's addresses in the system's order of preference (RFC 6724). The
// client keeps the first, then takes the first address of the other family, and goes on
// alternating between the families while both last; the rest of the one left keep their order.
// So a name whose IPv6 addresses do not answer is reached over IPv4 within one attempt's delay,
// and the other way round.
#pragma once

#include "platform/net/NetAddress.h"

#include <cstddef>
#include <vector>

// Addresses reordered as above, each once, at most kMaxConnectAttempts (HttpLimits.h); the
// unspecified addresses (0.0.0.0, ::) left out.
std::vector<plat::NetAddress> ConnectionOrder(const std::vector<plat::NetAddress>& Preferred);
