#include "net/RequestAddress.h"

#include "engine/StrToInt.h"
#include "net/HttpLimits.h"
#include "net/SockErrors.h"
#include "net/WebAddress.h"
#include "platform/locale/AsciiCase.h"

#include <stdexcept>

namespace {

// "host:8080/feed" names no scheme "host": what follows the colon is a port.
bool IsPortAfterColon(std::string_view Rest)
{
    const std::string_view port = Rest.substr(0, Rest.find_first_of("/?"));
    return !port.empty() && port.find_first_not_of("0123456789") == std::string_view::npos;
}

// Bytes that could end a Host line or a CONNECT, or that no host name holds (a name from outside
// ASCII would go out as raw bytes; its IDNA form is the one to write).
bool IsBadHost(std::string_view Host)
{
    for (const char c : Host)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F ||
            std::string_view("\"<>\\^`{|}[]/?#@").find(c) != std::string_view::npos)
            return true;
    return false;
}

// Host and port out of "host", "host:port", "[v6]" or "[v6]:port" (user information gone).
void SplitAuthority(std::string_view Authority, TRequestAddress& Address)
{
    std::string_view host = Authority;
    std::string_view port;
    if (Authority.starts_with('[')) {
        const size_t close = Authority.find(']');
        if (close == std::string_view::npos || (close + 1 < Authority.size() && Authority[close + 1] != ':'))
            throw std::runtime_error("Bad IPv6 address in brackets");
        host = Authority.substr(1, close - 1);
        port = Authority.substr(std::min(close + 2, Authority.size()));
        if (host.find_first_not_of("0123456789abcdefABCDEF:.%") != std::string_view::npos)
            throw std::runtime_error("Bad IPv6 address in brackets");
    } else if (const size_t colon = Authority.find(':'); colon != std::string_view::npos) {
        host = Authority.substr(0, colon);
        port = Authority.substr(colon + 1);
    }
    if (host.empty())
        throw std::runtime_error("No host in the address");
    if (IsBadHost(host))
        throw std::runtime_error("Bad host name in the address");
    Address.Host = host;
    if (!port.empty())
        Address.Port = StrToPort(port);
}

}  // namespace

std::string AuthorityHost(std::string_view Host)
{
    return Host.find(':') == std::string_view::npos ? std::string(Host) : "[" + std::string(Host) + "]";
}

std::string_view WithoutBrackets(std::string_view Host)
{
    return Host.size() >= 2 && Host.front() == '[' && Host.back() == ']' ? Host.substr(1, Host.size() - 2) : Host;
}

TRequestAddress SplitRequestAddress(std::string_view Url)
{
    if (Url.empty())
        throw std::runtime_error("Empty URL");
    if (Url.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        throw std::runtime_error("Line break in the address");
    // A fragment belongs to the reader of the page, never to the request.
    Url = Url.substr(0, Url.find('#'));
    std::string scheme = "http";
    const std::string_view written = SchemeOf(Url);
    if (!written.empty() && !IsPortAfterColon(Url.substr(written.size() + 1))) {
        scheme = plat::LowerAscii(written);
        if (scheme != "http" && scheme != "https")
            throw std::runtime_error("Not an http or https address: " + scheme.substr(0, 16));
        Url.remove_prefix(written.size() + 1);
        if (Url.starts_with("//"))
            Url.remove_prefix(2);
    } else if (Url.starts_with("//")) {
        Url.remove_prefix(2);
    }
    TRequestAddress address;
    address.Secure = scheme == "https";
    address.Port = address.Secure ? 443 : 80;
    const size_t pathStart = std::min(Url.find_first_of("/?"), Url.size());
    std::string_view authority = Url.substr(0, pathStart);
    authority.remove_prefix(std::min(authority.rfind('@') + 1, authority.size()));  // user information is not sent
    SplitAuthority(authority, address);
    const std::string_view target = Url.substr(pathStart);
    address.Target = EncodeTarget(target.empty() || target[0] == '?' ? "/" + std::string(target) : target);
    if (address.Target.size() > net::kMaxPathChars)
        throw ESockError("Address too long");
    const bool defaultPort = address.Port == (address.Secure ? 443 : 80);
    address.Absolute = scheme + "://" + AuthorityHost(address.Host) +
        (defaultPort ? "" : ":" + std::to_string(address.Port)) + address.Target;
    return address;
}
