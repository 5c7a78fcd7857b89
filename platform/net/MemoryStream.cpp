#include "platform/net/MemoryStream.h"

#include "platform/net/NetErrors.h"

#include <algorithm>
#include <cstring>

namespace plat {

MemoryStream::MemoryStream(std::vector<std::string> Pieces, std::string& SentLog)
    : FPieces(Pieces.begin(), Pieces.end()), FSentLog(SentLog)
{}

int MemoryStream::StartConnect(const NetAddress& Address, uint16_t Port)
{
    (void)Address;
    (void)Port;
    return 0;
}

int MemoryStream::Send(const char* Data, int Length)
{
    if (FClosed) {
        FLastError = kSockNotConnected;
        return -1;
    }
    FSentLog.append(Data, static_cast<size_t>(Length));
    return Length;
}

int MemoryStream::Receive(char* Data, int Length, bool Peek)
{
    if (FClosed) {
        FLastError = kSockNotConnected;
        return -1;
    }
    if (FArrived.empty()) {
        if (FPieces.empty())
            return 0;
        FArrived = std::move(FPieces.front());
        FPieces.pop_front();
        FLastError = kSockWouldBlock;
        return -1;
    }
    const size_t count = std::min(FArrived.size(), static_cast<size_t>(Length));
    std::memcpy(Data, FArrived.data(), count);
    if (!Peek)
        FArrived.erase(0, count);
    return static_cast<int>(count);
}

int MemoryStream::Close()
{
    FClosed = true;
    return 0;
}

namespace {

class InstantLookup final : public NameLookup {
public:
    bool WaitDone(int Ms) override
    {
        (void)Ms;
        return true;
    }
    int Error() const override { return 0; }
    std::vector<NetAddress> Addresses() const override
    {
        NetAddress loopback;
        ParseNumericAddress("127.0.0.1", loopback);
        return {loopback};
    }
};

class InstantResolver final : public Resolver {
public:
    std::unique_ptr<NameLookup> StartLookup(const std::string& HostName) override
    {
        (void)HostName;
        return std::make_unique<InstantLookup>();
    }
};

}  // namespace

std::unique_ptr<StreamSocket> MemoryNet::NewSocket(bool LingerOff, int& Error)
{
    (void)LingerOff;
    Error = 0;
    std::vector<std::string> pieces;
    if (!FReplies.empty()) {
        pieces = std::move(FReplies.front());
        FReplies.pop_front();
    }
    FSent.emplace_back();
    return std::make_unique<MemoryStream>(std::move(pieces), FSent.back());
}

Resolver& MemoryNet::GetResolver()
{
    static InstantResolver resolver;
    return resolver;
}

}  // namespace plat
