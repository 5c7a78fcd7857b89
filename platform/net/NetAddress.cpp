#include "platform/net/NetAddress.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>

namespace plat {

namespace {

// An interface's name ("eth0") or number ("2"); 0 when there is none.
uint32_t ScopeOf(const std::string& Name)
{
    if (const uint32_t index = if_nametoindex(Name.c_str()); index != 0)
        return index;
    if (Name.empty() || Name.size() > 9 || Name.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<uint32_t>(std::stoul(Name));
}

}  // namespace

bool ParseNumericAddress(std::string_view Text, NetAddress& Address)
{
    // inet_pton wants a terminated text and no scope; the scope follows a "%".
    const std::string whole(Text);
    if (whole.find('\0') != std::string::npos)
        return false;
    const size_t percent = whole.find('%');
    const std::string bare = whole.substr(0, percent);
    NetAddress parsed;
    if (percent == std::string::npos && inet_pton(AF_INET, bare.c_str(), parsed.Bytes.data()) == 1) {
        parsed.Family = NetAddress::kIPv4;
    } else if (inet_pton(AF_INET6, bare.c_str(), parsed.Bytes.data()) == 1) {
        parsed.Family = NetAddress::kIPv6;
        if (percent != std::string::npos) {
            parsed.ScopeId = ScopeOf(whole.substr(percent + 1));
            if (parsed.ScopeId == 0)
                return false;
        }
    } else {
        return false;
    }
    Address = parsed;
    return true;
}

std::string AddressText(const NetAddress& Address)
{
    char text[INET6_ADDRSTRLEN] = "";
    if (Address.Family == NetAddress::kIPv4)
        inet_ntop(AF_INET, Address.Bytes.data(), text, sizeof text);
    else if (Address.Family == NetAddress::kIPv6)
        inet_ntop(AF_INET6, Address.Bytes.data(), text, sizeof text);
    return text;
}

}  // namespace plat
