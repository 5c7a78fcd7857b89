// How Connect chooses and resolves its address: dotted addresses skip the lookup, a proxy takes
// the place of the host, and a failed lookup becomes "Null Remote Address".
#include "net/Sockclient.h"
#include "platform/net/MemoryStream.h"
#include "platform/net/NetErrors.h"
#include "platform/net/TimerPump.h"

#include <gtest/gtest.h>

namespace {

class RecordingResolver final : public plat::NetServices, public plat::Resolver {
public:
    explicit RecordingResolver(int AError) : FError(AError) {}

    std::unique_ptr<plat::StreamSocket> NewSocket(bool LingerOff, int& Error) override
    {
        return FSockets.NewSocket(LingerOff, Error);
    }
    plat::Resolver& GetResolver() override { return *this; }
    std::unique_ptr<plat::NameLookup> StartLookup(const std::string& HostName) override
    {
        Asked.push_back(HostName);
        return std::make_unique<Answer>(FError);
    }

    std::vector<std::string> Asked;

private:
    class Answer final : public plat::NameLookup {
    public:
        explicit Answer(int AError) : FError(AError) {}
        bool WaitDone(int) override { return true; }
        int Error() const override { return FError; }
        std::vector<plat::NetAddress> Addresses() const override
        {
            plat::NetAddress loopback;
            plat::ParseNumericAddress("127.0.0.1", loopback);
            return FError == 0 ? std::vector<plat::NetAddress>{loopback} : std::vector<plat::NetAddress>{};
        }

    private:
        int FError;
    };

    plat::MemoryNet FSockets;
    int FError;
};

std::string ConnectError(TSockClient& Client)
{
    try {
        Client.Connect();
    } catch (const ESockError& error) {
        return error.what();
    }
    return "";
}

TEST(SockClientResolve, DottedAddressNeedsNoLookup)
{
    RecordingResolver net(0);
    plat::TimerPump pump;
    TSockClient client(nullptr, pump, net);
    client.Host = "127.0.0.1";
    EXPECT_EQ(ConnectError(client), "");
    EXPECT_TRUE(net.Asked.empty());
    EXPECT_EQ(plat::AddressText(client.RemoteAddress()), "127.0.0.1");
}

TEST(SockClientResolve, ProxyIsLookedUpInsteadOfTheHost)
{
    RecordingResolver net(0);
    plat::TimerPump pump;
    TSockClient client(nullptr, pump, net);
    client.Host = "feeds.example";
    client.Proxy = "proxy.example";
    EXPECT_EQ(ConnectError(client), "");
    ASSERT_EQ(net.Asked.size(), 1u);
    EXPECT_EQ(net.Asked[0], "proxy.example");
}

TEST(SockClientResolve, FailedLookupIsANullAddress)
{
    RecordingResolver net(plat::kSockHostNotFound);
    plat::TimerPump pump;
    TSockClient client(nullptr, pump, net);
    client.Host = "nowhere.example";
    EXPECT_EQ(ConnectError(client), "Null Remote Address");
    EXPECT_FALSE(client.Connected());
}

TEST(SockClientResolve, InvalidHostHandlerGetsOneRetry)
{
    RecordingResolver net(plat::kSockHostNotFound);
    plat::TimerPump pump;
    TSockClient client(nullptr, pump, net);
    client.Host = "nowhere.example";
    int calls = 0;
    client.OnInvalidHost = [&](TObject*, bool& Handled) {
        ++calls;
        Handled = true;
    };
    EXPECT_EQ(ConnectError(client), "Null Remote Address");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(net.Asked.size(), 2u);
}

}  // namespace
