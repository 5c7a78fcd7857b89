// The UI thread keeps processing its messages while the client waits on a slow server, a slow
// connect and a slow name lookup, and Cancel from inside that processing ends the wait.
#include "net/Httpclient.h"
#include "platform/app/Application.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Passes of message processing that a wait of a few hundred milliseconds must at least run: its
// slices are 5 ms, so even a loaded machine runs many more, and a wait that holds the messages
// back runs none.
constexpr int kMinPasses = 10;

// A real lookup that answers only after a delay, as a slow name server would.
class SlowLookup final : public plat::NameLookup {
public:
    SlowLookup(std::unique_ptr<plat::NameLookup> AInner, std::chrono::milliseconds Delay)
        : FInner(std::move(AInner)), FReadyAt(Clock::now() + Delay)
    {}
    bool WaitDone(int Ms) override
    {
        const auto now = Clock::now();
        if (now < FReadyAt) {
            std::this_thread::sleep_for(std::min<Clock::duration>(FReadyAt - now, std::chrono::milliseconds(Ms)));
            return false;
        }
        return FInner->WaitDone(Ms);
    }
    int Error() const override { return FInner->Error(); }
    std::vector<plat::NetAddress> Addresses() const override { return FInner->Addresses(); }

private:
    std::unique_ptr<plat::NameLookup> FInner;
    Clock::time_point FReadyAt;
};

class SlowResolverNet final : public plat::NetServices, public plat::Resolver {
public:
    explicit SlowResolverNet(int DelayMs) : FDelay(DelayMs) {}
    std::unique_ptr<plat::StreamSocket> NewSocket(bool LingerOff, int& Error) override
    {
        return plat::SystemNet().NewSocket(LingerOff, Error);
    }
    plat::Resolver& GetResolver() override { return *this; }
    std::unique_ptr<plat::NameLookup> StartLookup(const std::string& HostName) override
    {
        return std::make_unique<SlowLookup>(plat::SystemResolver().StartLookup(HostName), FDelay);
    }

private:
    std::chrono::milliseconds FDelay;
};

// Counts the passes of message processing while it exists (a window timer due at every pass).
class MessagePassProbe {
public:
    MessagePassProbe()
    {
        FTimer = plat::App().SetTimer(1, [this] { ++FPasses; });
    }
    ~MessagePassProbe() { plat::App().KillTimer(FTimer); }
    int Passes() const { return FPasses; }

private:
    int FTimer = 0;
    int FPasses = 0;
};

// Cancels the client from a window timer, that is, from inside the wait's message processing.
class CancelAfter {
public:
    CancelAfter(TSockClient& Client, int Ms)
    {
        FTimer = plat::App().SetTimer(static_cast<uint32_t>(Ms), [this, &Client] {
            plat::App().KillTimer(FTimer);
            Client.Cancel();
        });
    }
    ~CancelAfter() { plat::App().KillTimer(FTimer); }

private:
    int FTimer = 0;
};

std::string UrlFor(const std::string& Host, int Port, const std::string& Path)
{
    return "http://" + Host + ":" + std::to_string(Port) + Path;
}

class UiPump : public testing::Test {
protected:
    void SetUp() override
    {
        Server.Route("/slow", [](nettest::FixtureConnection& c) {
            c.Send(nettest::HttpReply("200 OK", "", ""));
            c.SendSlowly(std::string(400, 's'), 50, 50);
        });
        Server.Route("/endless", [](nettest::FixtureConnection& c) {
            c.Send(nettest::HttpReply("200 OK", "", ""));
            while (c.SendSlowly("e", 1, 10)) {}
        });
    }
    nettest::FixtureServer Server;
};

TEST_F(UiPump, MessagesFlowDuringASlowDownload)
{
    THttpClient client(nullptr, plat::App());
    client.TimeOut = 3000;
    MessagePassProbe probe;
    const auto outcome = nettest::TimedGet(client, Server.Url("/slow"));
    EXPECT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.Body.size(), 400u);
    EXPECT_GE(outcome.Ms, 350);
    EXPECT_GE(probe.Passes(), kMinPasses);
}

TEST_F(UiPump, MessagesFlowDuringASlowConnect)
{
    nettest::StalledListener stalled;
    THttpClient client(nullptr, plat::App());
    client.TimeOut = 300;
    MessagePassProbe probe;
    const auto outcome = nettest::TimedGet(client, UrlFor("127.0.0.1", stalled.Port(), "/"));
    EXPECT_EQ(outcome.Class, "ESockError");
    EXPECT_EQ(outcome.Text, "Connection Timed out");
    EXPECT_GE(outcome.Ms, 290);
    EXPECT_GE(probe.Passes(), kMinPasses);
}

TEST_F(UiPump, MessagesFlowDuringASlowLookup)
{
    SlowResolverNet net(800);
    THttpClient client(nullptr, plat::App(), net);
    client.TimeOut = 300;
    MessagePassProbe probe;
    const auto outcome = nettest::TimedGet(client, UrlFor("localhost", Server.Port(), "/slow"));
    EXPECT_EQ(outcome.Class, "ESockError");
    EXPECT_EQ(outcome.Text, "Host Lookup Timed Out");
    EXPECT_GE(probe.Passes(), kMinPasses);
}

TEST_F(UiPump, SlowLookupThatAnswersInTimeConnects)
{
    SlowResolverNet net(150);
    THttpClient client(nullptr, plat::App(), net);
    client.TimeOut = 3000;
    const auto outcome = nettest::TimedGet(client, UrlFor("localhost", Server.Port(), "/slow"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.Body, std::string(400, 's'));
}

TEST_F(UiPump, CancelInsideTheWaitEndsEachStage)
{
    nettest::StalledListener stalled;
    SlowResolverNet slowNet(3000);
    struct Stage {
        plat::NetServices* Net;
        std::string Url;
        const char* Class;
        const char* Text;
    } stages[] = {
        {&plat::SystemNet(), Server.Url("/endless"), "EAbortError", "Socket capture aborted"},
        {&plat::SystemNet(), UrlFor("127.0.0.1", stalled.Port(), "/"), "ESockError", "Connection Canceled"},
        {&slowNet, UrlFor("localhost", Server.Port(), "/"), "ESockError", "Host Lookup Canceled"},
    };
    for (const Stage& stage : stages) {
        THttpClient client(nullptr, plat::App(), *stage.Net);
        client.TimeOut = 0;  // only the cancel can end these waits
        CancelAfter cancel(client, 100);
        const auto outcome = nettest::TimedGet(client, stage.Url);
        EXPECT_EQ(outcome.Class, stage.Class) << stage.Url;
        EXPECT_EQ(outcome.Text, stage.Text) << stage.Url;
    }
}

TEST_F(UiPump, GetFromInsideAWaitIsRefused)
{
    THttpClient client(nullptr, plat::App());
    client.TimeOut = 3000;
    std::string inner;
    const int timer = plat::App().SetTimer(50, [&] {
        if (!inner.empty())
            return;
        inner = nettest::TimedGet(client, Server.Url("/slow")).Text;
    });
    const auto outcome = nettest::TimedGet(client, Server.Url("/slow"));
    plat::App().KillTimer(timer);
    EXPECT_EQ(inner, "Already connected");
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.Body, std::string(400, 's'));
}

}  // namespace
