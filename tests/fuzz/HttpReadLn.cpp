// Fuzzes the line reader: the lines it returns, joined, are exactly the bytes that arrived up to
// the last line end, each line ends in LF or fills the buffer, and nothing is lost or invented.
#include "net/HttpLimits.h"
#include "net/Sockclient.h"
#include "platform/net/MemoryStream.h"
#include "platform/net/TimerPump.h"
#include "tests/fuzz/HttpFuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    plat::MemoryNet net;
    net.AddReply(ReplyPieces(Data, Size));
    plat::TimerPump pump;
    TSockClient client(nullptr, pump, net);
    client.Host = "h";
    client.Connect();
    const std::string input = Size > 1 ? std::string(reinterpret_cast<const char*>(Data) + 1, Size - 1) : "";
    std::string joined;
    for (;;) {
        const std::string line = client.ReadLn();
        if (line.empty())
            break;
        if (line.back() != '\n' && line.size() != static_cast<size_t>(net::kSockBufferBytes))
            std::abort();
        joined += line;
    }
    if (input.compare(0, joined.size(), joined) != 0)
        std::abort();
    // What is left after the last line is a tail without LF that fits the buffer.
    const std::string tail = input.substr(joined.size());
    if (tail.find('\n') != std::string::npos || tail.size() >= static_cast<size_t>(net::kSockBufferBytes))
        std::abort();
    return 0;
}
