// Fuzzes where a redirect leads: the first line of the input is the address asked, the rest the
// server's Location. Whatever the two hold, the follow-up request is one request line and the
// client's own header lines, never another scheme or a line of the server's choosing; a Get
// ends with a reply or an error.
#include "net/Httpclient.h"
#include "net/RequestAddress.h"
#include "net/WebAddress.h"
#include "platform/locale/AsciiCase.h"
#include "platform/net/MemoryStream.h"
#include "platform/net/TimerPump.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The address taken apart: a host without blanks or controls, a target of printable ASCII.
void CheckSplit(const std::string& Address)
{
    try {
        const TRequestAddress split = SplitRequestAddress(Address);
        auto printable = [](const std::string& Text) {
            return std::all_of(Text.begin(), Text.end(), [](char C) { return C > ' ' && C < '\x7F'; });
        };
        if (split.Host.empty() || !printable(split.Host) || !printable(split.Target) || split.Target[0] != '/' ||
            split.Port < 1 || split.Port > 65535 || !printable(split.Absolute))
            std::abort();
    } catch (const std::exception&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string input(reinterpret_cast<const char*>(Data), Size);
    const size_t newline = std::min(input.find('\n'), input.size());
    const std::string base = input.substr(0, newline);
    std::string location = input.substr(std::min(newline + 1, input.size()));
    std::erase(location, '\n');  // one header line
    CheckSplit(base);
    const std::string next = ResolveReference("http://h.example/dir/page?q", location);
    CheckSplit(next);
    // TLS over prepared bytes would only fail its handshake.
    for (const std::string& address : {base, next})
        if (plat::LowerAscii(SchemeOf(address)) == "https")
            return 0;

    plat::MemoryNet net;
    net.AddReply({"HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n"});
    net.AddReply({"HTTP/1.0 200 OK\r\n\r\nbody"});
    plat::TimerPump pump;
    THttpClient client(nullptr, pump, net);
    try {
        client.Get(base.empty() ? "http://h.example/" : base);
    } catch (const std::exception&) {}
    for (const std::string& sent : net.Sent()) {
        const size_t requestLine = sent.find("\r\n");
        // GET, Host, two Accept lines, User-Agent, Content-type and the blank line.
        if (!sent.empty() &&
            (std::count(sent.begin(), sent.end(), '\n') != 7 ||
             std::count(sent.begin(), sent.begin() + requestLine, ' ') != 2))
            std::abort();
    }
    return 0;
}
