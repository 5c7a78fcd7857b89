// The HTTP client and the news fetch against servers as they behave in the wild: nginx's
// redirects (relative, 307, 308, a colon in the query) and error statuses, squid keeping its
// connections open (http and https through CONNECT), a TLS server that closes without a
// goodbye, a body cut short of its Content-Length, and cookies across two hosts and schemes.
#include "engine/KssSettings.h"
#include "gadgets/Kgr.h"
#include "net/Httpclient.h"
#include "net/NewsFeed.h"
#include "platform/net/TimerPump.h"
#include "tests/net/ChildServer.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"
#include "tests/net/TestCa.h"
#include "tests/net/TlsServers.h"

#include <gtest/gtest.h>

namespace {

using nettest::TlsServers;

const std::string kFeed = "<rss version=\"2.0\"><channel><title>Harbour</title><link>http://h/</link>"
                          "<item><title>Tide</title></item></channel></rss>";

// nginx on two loopback addresses: redirects of every kind, and the cookie echo.
bool StartRedirectingNginx(nettest::ChildServer& Nginx)
{
    const std::string port = std::to_string(Nginx.Port());
    const std::string echo = "  location = /echo { default_type text/plain; return 200 \"[$http_cookie]\"; }\n";
    return nettest::StartNginx(
        Nginx,
        " server { listen 127.0.0.1:" + port + "; root " + Nginx.Dir() + "/www; absolute_redirect off;\n" +
            "  location = /news/relative { return 302 feed.xml; }\n"
            "  location = /t307 { return 307 /news/feed.xml; }\n"
            "  location = /t308 { return 308 http://127.0.0.1:" +
            port +
            "/news/feed.xml; }\n"
            "  location = /colon { return 301 /news/feed.xml?t=12:00; }\n"
            "  location = /loop { return 302 /loop; }\n"
            "  location = /badport { return 302 http://127.0.0.1:70000/x; }\n"
            "  location = /set { add_header Set-Cookie \"a=1; Path=/; Domain=127.0.0.2; HttpOnly\";"
            " return 302 /echo; }\n" +
            echo +
            " }\n"
            " server { listen 127.0.0.2:" +
            port + ";\n" + echo + " }\n");
}

class RealServers : public testing::Test {
protected:
    // Fetches Url as the saver does; the ticker and the link start as "old".
    std::string FetchNewsFrom(const std::string& Url)
    {
        KGR1.SetNameNews("old");
        KGR1.SetRssLine("old");
        NewsLink = "old";
        Settings.RSS_Url = Url;
        return FetchNews(Client, Settings, KGR1, NewsLink);
    }

    plat::TimerPump Pump;
    THttpClient Client{nullptr, Pump};
    plat::FontCache Fonts;
    TKGR KGR1{nullptr, Fonts};
    std::string NewsLink;
    TFeedSettings Settings;
};

TEST_F(RealServers, NginxRedirectsAndStatuses)
{
    SKIP_WITHOUT(nettest::kNginx);
    nettest::ChildServer nginx;
    nginx.WriteFile("www/news/feed.xml", kFeed);
    ASSERT_TRUE(StartRedirectingNginx(nginx)) << nginx.ReadFile("error.log");
    const std::string base = "http://127.0.0.1:" + std::to_string(nginx.Port());
    for (const std::string path : {"/news/relative", "/t307", "/t308", "/colon"}) {
        EXPECT_EQ(FetchNewsFrom(base + path), "") << path;
        EXPECT_EQ(KGR1.GetRssLine(), "  ***  Tide  ***  ") << path;
        EXPECT_EQ(Client.StatusCode(), 200) << path;
    }
    EXPECT_EQ(Client.Path(), "/news/feed.xml?t=12:00");
    EXPECT_EQ(Client.Port, nginx.Port());
    // An error page and a redirect loop are failed fetches: the ticker keeps what it showed.
    EXPECT_EQ(FetchNewsFrom(base + "/absent.xml"), "The server answered: HTTP/1.1 404 Not Found");
    EXPECT_EQ(FetchNewsFrom(base + "/loop"), "The server answered: HTTP/1.1 302 Moved Temporarily");
    EXPECT_EQ(KGR1.GetRssLine() + KGR1.GetNameNews() + NewsLink, "oldoldold");
    // A redirect's port that is no port ends that fetch alone.
    EXPECT_EQ(FetchNewsFrom(base + "/badport"), "'70000' is not a valid port");
    EXPECT_EQ(KGR1.GetRssLine(), "old");
}

TEST_F(RealServers, CookiesStayWithTheirHostAndScheme)
{
    SKIP_WITHOUT(nettest::kNginx);
    nettest::ChildServer nginx;
    ASSERT_TRUE(StartRedirectingNginx(nginx)) << nginx.ReadFile("error.log");
    const std::string port = std::to_string(nginx.Port());
    Client.TimeOut = 2000;
    // Only the name=value goes back, and only to the host that set it (its Domain is ignored).
    ASSERT_EQ(nettest::TimedGet(Client, "http://127.0.0.1:" + port + "/set").Class, "");
    EXPECT_EQ(Client.Body, "[a=1]");
    ASSERT_EQ(nettest::TimedGet(Client, "http://127.0.0.2:" + port + "/echo").Class, "");
    EXPECT_EQ(Client.Body, "[]");
    ASSERT_EQ(nettest::TimedGet(Client, "http://127.0.0.1:" + port + "/echo").Class, "");
    EXPECT_EQ(Client.Body, "[a=1]");

    TlsServers servers;
    ASSERT_TRUE(servers.Start()) << servers.Log();
    nettest::TrustOnly trust(servers.Ca().CaFile());
    ASSERT_EQ(nettest::TimedGet(Client, servers.Url(TlsServers::kGood, "/set")).Class, "");
    ASSERT_EQ(nettest::TimedGet(Client, servers.Url(TlsServers::kPlain, "/echo")).Class, "");
    EXPECT_EQ(Client.Body, "[]");  // never over plain http
    ASSERT_EQ(nettest::TimedGet(Client, servers.Url(TlsServers::kGood, "/echo")).Class, "");
    EXPECT_EQ(Client.Body, "[s=2]");
    // Nor does a redirect take the client from https down to http.
    const auto down = nettest::TimedGet(Client, servers.Url(TlsServers::kGood, "/down"));
    EXPECT_EQ(down.Class + ": " + down.Text, "ESockError: Redirect from https to http refused");
}

// Two dozen cookies of 3 KB each would make a request no server takes (and over 64 KiB, one the
// client could not send): the oldest that do not fit a header line are dropped, and every
// request goes on working.
TEST_F(RealServers, CookiesThatDoNotFitAreDroppedOldestFirst)
{
    SKIP_WITHOUT(nettest::kNginx);
    nettest::ChildServer nginx;
    ASSERT_TRUE(StartRedirectingNginx(nginx)) << nginx.ReadFile("error.log");
    std::string cookies;
    for (int i = 0; i < 24; ++i)
        cookies += "Set-Cookie: c" + std::to_string(i) + "=" + std::string(3000, 'v') + "\r\n";
    nettest::FixtureServer jar;
    const std::string echo = "http://127.0.0.1:" + std::to_string(nginx.Port()) + "/echo";
    jar.Reply("/jar", nettest::HttpReply("302 Found", cookies + "Location: " + echo + "\r\n", ""));
    for (const std::string& url : {jar.Url("/jar"), echo}) {
        const auto outcome = nettest::TimedGet(Client, url);
        ASSERT_EQ(outcome.Class, "") << outcome.Text;
        EXPECT_EQ(Client.StatusCode(), 200) << Client.Header;
        EXPECT_EQ(Client.Body.substr(0, 5), "[c22=") << url;
        EXPECT_NE(Client.Body.find("; c23="), std::string::npos);
    }
    EXPECT_EQ(Client.CookiesFor("127.0.0.1", false).size(), 2 * 3004 + 2);
}

TEST_F(RealServers, AProxyPortOutsideTheRangeIsNoPort)
{
    Settings.UseProxy = 1;
    Settings.Proxy = "127.0.0.1";
    Settings.Port = "70000";  // would wrap to 4464
    EXPECT_EQ(FetchNewsFrom("http://127.0.0.1:1/feed.xml"), "'70000' is not a valid port");
    EXPECT_EQ(Client.ProxyPort, 0);
}

TEST_F(RealServers, SquidKeepsConnectionsOpenYetEachFetchEndsWithItsBody)
{
    SKIP_WITHOUT(nettest::kNginx);
    SKIP_WITHOUT(nettest::kSquid);
    TlsServers servers;
    servers.WriteFile("feed.xml", kFeed);
    ASSERT_TRUE(servers.Start()) << servers.Log();
    nettest::ChildServer squid;
    ASSERT_TRUE(nettest::StartSquid(squid)) << squid.ReadFile("stderr.log") << squid.ReadFile("cache.log");
    nettest::TrustOnly trust(servers.Ca().CaFile());
    Client.Proxy = "127.0.0.1";
    Client.ProxyPort = squid.Port();
    Client.TimeOut = 5000;
    for (const auto kind : {TlsServers::kPlain, TlsServers::kGood, TlsServers::kPlain, TlsServers::kGood}) {
        const auto outcome = nettest::TimedGet(Client, servers.Url(kind, "/feed.xml"));
        ASSERT_EQ(outcome.Class, "") << outcome.Text;
        EXPECT_EQ(Client.Body, kFeed);
        // Well inside the time-out: no stage waited for the proxy or the server to give up.
        EXPECT_LT(outcome.Ms, Client.TimeOut / 2) << servers.Url(kind, "/feed.xml");
    }
    EXPECT_TRUE(Client.Secure());
}

TEST_F(RealServers, TlsCloseWithoutGoodbyeEndsTheReplyAtOnce)
{
    SKIP_WITHOUT(nettest::kPython);
    nettest::ChildServer server;
    ASSERT_TRUE(nettest::StartTlsWithoutGoodbye(server, "HTTP/1.0 200 OK\r\n\r\n" + kFeed))
        << server.ReadFile("stderr.log");
    nettest::TrustOnly trust(server.Dir() + "/ca.pem");
    Client.TimeOut = 5000;
    const std::string url = "https://localhost:" + std::to_string(server.Port()) + "/feed.xml";
    ASSERT_EQ(nettest::TimedGet(Client, url).Class, "");  // the TLS module is loaded once
    const auto outcome = nettest::TimedGet(Client, url);
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(Client.Body, kFeed);
    // The close ends the reply; a reader that waited for a goodbye would run into the time-out.
    EXPECT_LT(outcome.Ms, Client.TimeOut / 2);
}

TEST_F(RealServers, ABodyShortOfItsContentLengthIsAFailedFetch)
{
    nettest::FixtureServer server;
    server.Reply("/cut.xml",
                 "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(kFeed.size() + 10) + "\r\n\r\n" + kFeed);
    EXPECT_EQ(FetchNewsFrom(server.Url("/cut.xml")),
              "Reply body cut short: " + std::to_string(kFeed.size()) + " of " + std::to_string(kFeed.size() + 10) +
                  " bytes");
    EXPECT_EQ(KGR1.GetRssLine(), "old");
    server.Reply("/cuthead.xml", "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n" + kFeed);
    EXPECT_EQ(FetchNewsFrom(server.Url("/cuthead.xml")), "Reply header cut short");
    EXPECT_EQ(KGR1.GetRssLine(), "old");
    // A Content-Length shorter than what follows: the body ends there.
    server.Reply("/long.xml",
                 "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(kFeed.size()) + "\r\n\r\n" + kFeed +
                     "<rss>trailing</rss>");
    EXPECT_EQ(FetchNewsFrom(server.Url("/long.xml")), "");
    EXPECT_EQ(Client.Body, kFeed);
}

// The default address yields nothing (its server answers 404): the built-in directory's World
// channels are tried in turn, and the first that has items is shown.
TEST_F(RealServers, TheDefaultAddressFallsBackToTheWorldChannels)
{
    SKIP_WITHOUT(nettest::kNginx);
    TlsServers servers;
    servers.WriteFile("news/world/rss.xml", kFeed);
    ASSERT_TRUE(servers.Start()) << servers.Log();
    nettest::TrustOnly trust(servers.Ca().CaFile());
    nettest::FixtureServer proxy;
    for (const char* host : {"news.google.com:443", "feeds.bbci.co.uk:443"})
        proxy.Route(host, [&](nettest::FixtureConnection& C) { C.Tunnel(servers.Port(TlsServers::kGood)); });
    Settings.UseProxy = 1;
    Settings.Proxy = "127.0.0.1";
    Settings.Port = std::to_string(proxy.Port());
    EXPECT_EQ(FetchNewsFrom(DefaultRssUrl()), "");
    EXPECT_EQ(KGR1.GetNameNews(), "Harbour");
    EXPECT_EQ(KGR1.GetRssLine(), "  ***  Tide  ***  ");
    ASSERT_FALSE(proxy.Requests().empty());
    EXPECT_EQ(proxy.Requests().front().substr(0, 33), "CONNECT news.google.com:443 HTTP/");
    EXPECT_EQ(proxy.Requests().back().substr(0, 34), "CONNECT feeds.bbci.co.uk:443 HTTP/");
    // Another address is never replaced.
    proxy.ClearRequests();
    EXPECT_EQ(FetchNewsFrom("https://news.google.com/other"), "The server answered: HTTP/1.1 404 Not Found");
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

}  // namespace
