// The HTTP client against Debian's nginx serving static files and through Debian's tinyproxy,
// each started by the test on a free loopback port. Skipped when the program is not installed.
#include "net/Httpclient.h"
#include "platform/net/TimerPump.h"
#include "tests/net/ChildServer.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"

#include <gtest/gtest.h>

namespace {

bool StartNginx(nettest::ChildServer& Server)
{
    return nettest::StartNginx(Server,
                               " server { listen 127.0.0.1:" + std::to_string(Server.Port()) + ";\n  root " +
                                   Server.Dir() + "/www;\n  location = /moved { return 302 /feed.xml; } }\n");
}

TEST(DebianServers, NginxServesStaticFiles)
{
    if (!nettest::ChildServer::Installed(nettest::kNginx))
        GTEST_SKIP() << "nginx is not installed (apt-get install nginx)";
    nettest::ChildServer nginx;
    const std::string file = nettest::RandomBytes(65536);
    nginx.WriteFile("www/file.bin", file);
    nginx.WriteFile("www/feed.xml", "<rss><channel><title>t</title></channel></rss>\n");
    ASSERT_TRUE(StartNginx(nginx)) << nginx.ReadFile("stderr.log") << nginx.ReadFile("error.log");
    const std::string base = "http://127.0.0.1:" + std::to_string(nginx.Port());

    plat::TimerPump pump;
    THttpClient client(nullptr, pump);
    client.TimeOut = 2000;
    auto outcome = nettest::TimedGet(client, base + "/file.bin");
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.ContentLength(), 65536);
    EXPECT_TRUE(client.Body == file);

    outcome = nettest::TimedGet(client, base + "/moved");
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.Body, "<rss><channel><title>t</title></channel></rss>\n");

    outcome = nettest::TimedGet(client, base + "/absent.xml");
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_NE(client.Body.find("404 Not Found"), std::string::npos);
}

TEST(DebianServers, TinyproxyCarriesRequestsAndItsOwnAnswers)
{
    if (!nettest::ChildServer::Installed(nettest::kTinyproxy))
        GTEST_SKIP() << "tinyproxy is not installed (apt-get install tinyproxy)";
    nettest::FixtureServer origin;
    origin.Reply("/feed.xml", nettest::HttpReply("200 OK", "", "<rss>through</rss>"));
    nettest::ChildServer proxy;
    ASSERT_TRUE(nettest::StartTinyproxy(proxy)) << proxy.ReadFile("stderr.log");

    plat::TimerPump pump;
    THttpClient client(nullptr, pump);
    client.TimeOut = 3000;
    client.Proxy = "127.0.0.1";
    client.ProxyPort = proxy.Port();
    auto outcome = nettest::TimedGet(client, origin.Url("/feed.xml"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.Body, "<rss>through</rss>");
    ASSERT_EQ(origin.Requests().size(), 1u);
    EXPECT_EQ(origin.Requests()[0].substr(0, 19), "GET /feed.xml HTTP/");

    // A server the proxy cannot reach: the proxy's own error page is the reply.
    const int closedPort = nettest::UnusedLoopbackPort();
    outcome = nettest::TimedGet(client, "http://127.0.0.1:" + std::to_string(closedPort) + "/x");
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_GE(client.StatusCode(), 500);
    EXPECT_FALSE(client.Body.empty());
}

}  // namespace
