// Fuzzes the reply header reader: arbitrary bytes, arriving in pieces, must end in a parsed
// header or an ESockError, with every kept value inside its bound.
#include "net/HttpLimits.h"
#include "net/Httpclient.h"
#include "platform/net/MemoryStream.h"
#include "platform/net/TimerPump.h"
#include "tests/fuzz/HttpFuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    plat::MemoryNet net;
    net.AddReply(ReplyPieces(Data, Size));
    plat::TimerPump pump;
    THttpClient client(nullptr, pump, net);
    client.Host = "h";
    client.Connect();
    try {
        client.RemoveHeader();
    } catch (const ESockError&) {}
    if (client.Header.size() > net::kMaxHeaderBytes + net::kSockBufferBytes ||
        client.Location().size() > net::kMaxHeaderValueChars ||
        client.ReceivedCookie().size() > net::kMaxHeaderValueChars)
        std::abort();
    return 0;
}
