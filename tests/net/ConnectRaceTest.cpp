// Every address of a name, IPv6 and IPv4 interleaved: the client against nginx on both loopbacks,
// its names from a private hosts file through the resolver seam (the system's resolver reads only
// /etc/hosts), and stalled listeners standing for addresses that never answer.
#include "net/AddressList.h"
#include "net/HttpLimits.h"
#include "platform/net/TimerPump.h"
#include "tests/net/ChildServer.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

plat::NetAddress Numeric(const std::string& Text)
{
    plat::NetAddress address;
    plat::ParseNumericAddress(Text, address);
    return address;
}

// Real sockets; names looked up in a hosts file ("address name" a line) the test writes.
class HostsFileNet final : public plat::NetServices, public plat::Resolver {
public:
    explicit HostsFileNet(std::string AFile) : FFile(std::move(AFile)) {}
    std::unique_ptr<plat::StreamSocket> NewSocket(bool LingerOff, int& Error) override
    {
        return plat::SystemNet().NewSocket(LingerOff, Error);
    }
    plat::Resolver& GetResolver() override { return *this; }
    std::unique_ptr<plat::NameLookup> StartLookup(const std::string& HostName) override
    {
        auto lookup = std::make_unique<Found>();
        std::ifstream hosts(FFile);
        for (std::string address, name; hosts >> address >> name;)
            if (name == HostName)
                lookup->List.push_back(Numeric(address));
        return lookup;
    }

private:
    struct Found final : plat::NameLookup {
        bool WaitDone(int) override { return true; }
        int Error() const override { return List.empty() ? 11001 : 0; }
        std::vector<plat::NetAddress> Addresses() const override { return List; }
        std::vector<plat::NetAddress> List;
    };
    std::string FFile;
};

TEST(ConnectionOrder, AlternatesTheFamiliesFromTheFirst)
{
    const auto a = Numeric("::1"), b = Numeric("::2"), c = Numeric("::3"), x = Numeric("10.0.0.1"),
               y = Numeric("10.0.0.2");
    EXPECT_EQ(ConnectionOrder({a, b, c, x, y}), (std::vector{a, x, b, y, c}));
    EXPECT_EQ(ConnectionOrder({x, y, a, x}), (std::vector{x, a, y}));
    std::vector<plat::NetAddress> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(Numeric("10.0.1." + std::to_string(i)));
    EXPECT_EQ(ConnectionOrder(many).size(), net::kMaxConnectAttempts);
}

TEST(ConnectRace, EveryAddressOfANameIsTriedInTurn)
{
    SKIP_WITHOUT(nettest::kNginx);
    nettest::ChildServer nginx;
    const std::string port = std::to_string(nginx.Port());
    ASSERT_TRUE(nettest::StartNginx(nginx,
                                    " server { listen 127.0.0.1:" + port + "; listen [::1]:" + port +
                                        "; location / { return 200 \"$server_addr\"; } }\n"))
        << nginx.ReadFile("error.log");
    // Never answered: the listeners' queues are full.
    nettest::StalledListener first("127.0.0.2", nginx.Port()), second("127.0.0.3", nginx.Port());
    nginx.WriteFile("hosts",
                    "::1 v6only.test\n127.0.0.4 refusing.test\n::1 refusing.test\n"
                    "127.0.0.2 eyeballs.test\n127.0.0.3 eyeballs.test\n::1 eyeballs.test\n");
    HostsFileNet net(nginx.Dir() + "/hosts");
    // In file order the answering address would come third, at 500 ms: beyond the time-out.
    const int timeOut = 2 * net::kConnectAttemptDelayMs - 50;
    for (const std::string name : {"v6only.test", "refusing.test", "eyeballs.test", "[::1]", "127.0.0.1"}) {
        plat::TimerPump pump;
        THttpClient client(nullptr, pump, net);
        client.TimeOut = timeOut;
        const auto outcome = nettest::TimedGet(client, "http://" + name + ":" + port + "/");
        ASSERT_EQ(outcome.Class, "") << name << ": " << outcome.Text;
        EXPECT_EQ(client.Body, name == "127.0.0.1" ? "127.0.0.1" : "::1") << name;
        if (name == "eyeballs.test") {
            EXPECT_GE(outcome.Ms, net::kConnectAttemptDelayMs - 10);
        }
    }
    // The system's resolver gives IPv6 addresses too.
    const auto lookup = plat::SystemResolver().StartLookup("::1");
    ASSERT_TRUE(lookup->WaitDone(2000));
    EXPECT_EQ(lookup->Addresses(), std::vector{Numeric("::1")});
}

}  // namespace
