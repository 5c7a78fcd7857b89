// The HTTP client over TLS against nginx with certificates of a test CA: the body exactly,
// after a redirect from http and through tinyproxy's CONNECT tunnel; and every refusal with the
// reason the user is shown.
#include "net/Httpclient.h"
#include "platform/net/TimerPump.h"
#include "tests/net/ChildServer.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"
#include "tests/net/TlsServers.h"

#include <gtest/gtest.h>

namespace {

using nettest::TlsServers;

TEST(Tls, BodyExactDirectAfterRedirectAndThroughConnectProxy)
{
    SKIP_WITHOUT(nettest::kNginx);
    SKIP_WITHOUT(nettest::kTinyproxy);
    TlsServers servers;
    const std::string file = nettest::RandomBytes(65536);
    servers.WriteFile("file.bin", file);
    ASSERT_TRUE(servers.Start()) << servers.Log();
    nettest::ChildServer proxy;
    ASSERT_TRUE(nettest::StartTinyproxy(proxy)) << proxy.ReadFile("stderr.log");
    nettest::TrustOnly trust(servers.Ca().CaFile());

    plat::TimerPump pump;
    THttpClient client(nullptr, pump);
    client.TimeOut = 3000;
    for (const std::string& url :
         {servers.Url(TlsServers::kGood, "/file.bin"), servers.Url(TlsServers::kPlain, "/moved")}) {
        const auto outcome = nettest::TimedGet(client, url);
        ASSERT_EQ(outcome.Class, "") << url << ": " << outcome.Text;
        EXPECT_EQ(client.StatusCode(), 200) << url;
        EXPECT_TRUE(client.Body == file) << url;
    }
    client.Proxy = "127.0.0.1";
    client.ProxyPort = proxy.Port();
    const auto outcome = nettest::TimedGet(client, servers.Url(TlsServers::kGood, "/file.bin"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_TRUE(client.Body == file);
    EXPECT_TRUE(client.Secure());
}

TEST(Tls, RefusalsAreSocketErrorsWithTheirReason)
{
    SKIP_WITHOUT(nettest::kNginx);
    TlsServers servers;
    ASSERT_TRUE(servers.Start()) << servers.Log();
    nettest::TrustOnly trust(servers.Ca().CaFile());
    // Accepts and reads, never answers: the handshake waits until the time-out.
    nettest::FixtureServer silent;
    const struct {
        std::string Url;
        std::string Text;
    } cases[] = {
        {servers.Url(TlsServers::kExpired, "/"), "Certificate verify failed: certificate has expired"},
        {servers.Url(TlsServers::kWrongHost, "/"), "Certificate verify failed: hostname mismatch"},
        {servers.Url(TlsServers::kSelfSigned, "/"), "Certificate verify failed: self-signed certificate"},
        {"https://localhost:" + std::to_string(servers.Port(TlsServers::kPlain)) + "/",
         "TLS handshake failed: wrong version number"},
        {"https://127.0.0.1:" + std::to_string(silent.Port()) + "/", "TLS Handshake Timed out"},
    };
    plat::TimerPump pump;
    THttpClient client(nullptr, pump);
    client.TimeOut = 500;
    for (const auto& c : cases) {
        const auto outcome = nettest::TimedGet(client, c.Url);
        EXPECT_EQ(outcome.Class, "ESockError") << c.Url;
        EXPECT_EQ(outcome.Text, c.Text) << c.Url;
        EXPECT_LT(outcome.Ms, 2000) << c.Url;
    }
}

}  // namespace
