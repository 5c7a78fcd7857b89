// The HTTP client against our own programmable server on loopback: the request on the wire,
// redirects and cookies, and every hostile reply ending in time with its error.
#include "net/HttpLimits.h"
#include "net/Httpclient.h"
#include "platform/net/TimerPump.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

using nettest::FixtureConnection;
using nettest::HttpReply;
using nettest::TimedGet;

namespace {

constexpr int kTimeOutMs = 400;
// Beyond this past its time-out a wait is taken for a hang; a loaded machine stays well inside.
constexpr int kSlackMs = 2000;

const std::string kAccept = "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
                            "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
const std::string kContentType =
    "User-Agent: " + THttpClient::UserAgent() + "\r\nContent-type: application/x-www-form-urlencoded\r\n";

class HttpFixture : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Server = new nettest::FixtureServer;
        Server->Reply("/p", HttpReply("200 OK", "Content-Length: 5\r\n", "hello"));
        Server->Reply("/a?b=1&c=2", HttpReply("200 OK", "", "query"));
        Server->Reply("/r1", HttpReply("302 Found", "Set-Cookie: a=1\r\nLocation: /next\r\n", "moved"));
        Server->Reply("/next", HttpReply("200 OK", "", "next body"));
        Server->Reply("/rel", HttpReply("302 Found", "Location: next.xml\r\n", ""));
        Server->Reply("/next.xml", HttpReply("200 OK", "", "<rss/>"));
        Server->Reply("/loop", HttpReply("302 Found", "Location: /loop\r\n", "again"));
        Server->Reply("/s404", HttpReply("404 Not Found", "", "<h1>missing</h1>"));
        Server->Reply("/halfheader", "HTTP/1.0 200 OK\r\nX-Cut: ");
    }
    static void TearDownTestSuite()
    {
        delete Server;
        Server = nullptr;
    }
    void SetUp() override
    {
        Server->ClearRequests();
        Client = std::make_unique<THttpClient>(nullptr, Pump);
        Client->TimeOut = kTimeOutMs;
        Client->ReportLevel = 2;
    }

    static nettest::FixtureServer* Server;
    plat::TimerPump Pump;
    std::unique_ptr<THttpClient> Client;
};

nettest::FixtureServer* HttpFixture::Server = nullptr;

TEST_F(HttpFixture, SendsTheExactRequestAndKeepsTheReply)
{
    const auto outcome = TimedGet(*Client, Server->Url("/p"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    ASSERT_EQ(Server->Requests().size(), 1u);
    EXPECT_EQ(Server->Requests()[0], "GET /p HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kAccept + kContentType + "\r\n");
    EXPECT_EQ(Client->Header, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    EXPECT_EQ(Client->Body, "hello");
    EXPECT_EQ(Client->StatusCode(), 200);
    EXPECT_EQ(Client->ContentLength(), 5);
    EXPECT_FALSE(Client->Connected());
}

TEST_F(HttpFixture, QueryTextGoesOutAsGiven)
{
    ASSERT_EQ(TimedGet(*Client, Server->Url("/a?b=1&c=2")).Class, "");
    EXPECT_EQ(Server->Requests().at(0).substr(0, 28), "GET /a?b=1&c=2 HTTP/1.0\r\nHos");
    EXPECT_EQ(Client->Body, "query");
}

TEST_F(HttpFixture, RedirectCarriesTheCookieOnAndAfter)
{
    ASSERT_EQ(TimedGet(*Client, Server->Url("/r1")).Class, "");
    const auto requests = Server->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].substr(0, 10), "GET /next ");
    EXPECT_NE(requests[1].find("\r\nCookie: a=1\r\nContent-type"), std::string::npos);
    EXPECT_EQ(Client->Body, "next body");
    EXPECT_EQ(Client->CookiesFor("127.0.0.1", false), "a=1");

    ASSERT_EQ(TimedGet(*Client, Server->Url("/p")).Class, "");
    EXPECT_NE(Server->Requests().back().find("Cookie: a=1\r\n"), std::string::npos);
}

TEST_F(HttpFixture, BareLocationNameStaysOnTheSameServer)
{
    ASSERT_EQ(TimedGet(*Client, Server->Url("/rel")).Class, "");
    ASSERT_EQ(Server->Requests().size(), 2u);
    EXPECT_EQ(Client->URL, Server->Url("/next.xml"));
    EXPECT_EQ(Client->Body, "<rss/>");
}

TEST_F(HttpFixture, RedirectLoopStopsWithTheLastReply)
{
    ASSERT_EQ(TimedGet(*Client, Server->Url("/loop")).Class, "");
    EXPECT_EQ(Server->Requests().size(), static_cast<size_t>(net::kMaxRedirects + 1));
    EXPECT_EQ(Client->StatusCode(), 302);
    EXPECT_EQ(Client->Body, "again");
}

TEST_F(HttpFixture, StatusesWithNothingToFollowEndTheRequest)
{
    for (const char* status : {"299 Odd", "303 See Other", "304 Not Modified", "399 Odd", "302 Found"}) {
        Server->ClearRequests();
        Server->Reply("/status", HttpReply(status, "", "s"));
        const auto outcome = TimedGet(*Client, Server->Url("/status"));
        EXPECT_EQ(outcome.Class, "") << status << ": " << outcome.Text;
        EXPECT_EQ(Server->Requests().size(), 1u) << status;
    }
}

TEST_F(HttpFixture, ErrorPageReachesBody)
{
    ASSERT_EQ(TimedGet(*Client, Server->Url("/s404")).Class, "");
    EXPECT_EQ(Client->StatusCode(), 404);
    EXPECT_EQ(Client->Body, "<h1>missing</h1>");
}

TEST_F(HttpFixture, SlowAndOneByteBodiesArriveWhole)
{
    std::string body;
    for (int i = 0; i < 300; ++i)
        body += static_cast<char>('a' + i % 26);
    Server->Route("/slow", [body](FixtureConnection& c) {
        c.Send(HttpReply("200 OK", "", ""));
        c.SendSlowly(body, 30, 25);
    });
    Server->Route("/onebyte",
                  [body](FixtureConnection& c) { c.SendSlowly(HttpReply("200 OK", "X: 1\r\n", body), 1, 0); });
    ASSERT_EQ(TimedGet(*Client, Server->Url("/slow")).Class, "");
    EXPECT_EQ(Client->Body, body);
    ASSERT_EQ(TimedGet(*Client, Server->Url("/onebyte")).Class, "");
    EXPECT_EQ(Client->Header, "HTTP/1.0 200 OK\r\nX: 1\r\n\r\n");
    EXPECT_EQ(Client->Body, body);
}

TEST_F(HttpFixture, EndlessBodyEndsAtTheTimeOut)
{
    Server->Route("/endless", [](FixtureConnection& c) {
        c.Send(HttpReply("200 OK", "", ""));
        while (c.SendSlowly(std::string(512, 'x'), 512, 5)) {}
    });
    const auto outcome = TimedGet(*Client, Server->Url("/endless"));
    EXPECT_EQ(outcome.Class, "EAbortError");
    EXPECT_EQ(outcome.Text, "Socket capture timed out after 400 ms");
    EXPECT_LT(outcome.Ms, kTimeOutMs * 2 + kSlackMs);
    EXPECT_FALSE(Client->Connected());
}

TEST_F(HttpFixture, CloseInMidHeaderEndsTheReply)
{
    const auto outcome = TimedGet(*Client, Server->Url("/halfheader"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(Client->Header, "HTTP/1.0 200 OK\r\n");
    EXPECT_EQ(Client->Body, "");
}

TEST_F(HttpFixture, ResetConnectionIsASocketError)
{
    Server->Route("/reset", [](FixtureConnection& c) {
        c.Send("HTTP/1.0 200 OK\r\nX-Cut: ");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        c.Reset();
    });
    const auto outcome = TimedGet(*Client, Server->Url("/reset"));
    EXPECT_EQ(outcome.Class, "ESockError");
    EXPECT_EQ(outcome.Text, "10054:Connection reset by peer");
}

TEST_F(HttpFixture, LineWithoutLfEndsAtTheTimeOut)
{
    Server->Route("/nolf", [](FixtureConnection& c) {
        c.Send("HTTP/1.0 200 OK");
        c.HoldOpen(5000);
    });
    const auto outcome = TimedGet(*Client, Server->Url("/nolf"));
    EXPECT_EQ(outcome.Class, "EAbortError");
    EXPECT_EQ(outcome.Text, "Socket readln timed out after 400 ms");
    EXPECT_GE(outcome.Ms, kTimeOutMs - 10);
    EXPECT_LT(outcome.Ms, kTimeOutMs + kSlackMs);
}

TEST_F(HttpFixture, EndlessHeaderIsRefused)
{
    Server->Route("/bigheader", [](FixtureConnection& c) {
        c.Send("HTTP/1.0 200 OK\r\n");
        const std::string line = "X-Pad: " + std::string(1000, 'p') + "\r\n";
        while (c.Send(line)) {}
    });
    const auto outcome = TimedGet(*Client, Server->Url("/bigheader"));
    EXPECT_EQ(outcome.Class, "ESockError");
    EXPECT_EQ(outcome.Text, "Reply header too long");
}

TEST_F(HttpFixture, TricklingHeaderEndsAtTheOverallDeadline)
{
    Client->TimeOut = 150;
    Server->Route("/trickle", [](FixtureConnection& c) {
        c.Send("HTTP/1.0 200 OK\r\n");
        while (c.SendSlowly("X-Slow: 1\r\n", 11, 40)) {}
    });
    const auto outcome = TimedGet(*Client, Server->Url("/trickle"));
    EXPECT_EQ(outcome.Class, "EAbortError");
    EXPECT_EQ(outcome.Text, "Socket readln aborted: the whole request took longer than 900 ms");
    EXPECT_GE(outcome.Ms, 150 * net::kGetDeadlineTimeOuts - 10);
    EXPECT_LT(outcome.Ms, 150 * net::kGetDeadlineTimeOuts + kSlackMs);
}

TEST_F(HttpFixture, OversizedBodyIsAborted)
{
    Client->TimeOut = 5000;
    Server->Route("/huge", [](FixtureConnection& c) {
        c.Send(HttpReply("200 OK", "", ""));
        const std::string block(1 << 20, 'h');
        for (size_t sent = 0; sent <= net::kMaxBodyBytes && c.Send(block); sent += block.size()) {}
    });
    const auto outcome = TimedGet(*Client, Server->Url("/huge"));
    EXPECT_EQ(outcome.Class, "EAbortError");
    EXPECT_EQ(outcome.Text, "Socket capture aborted: the body is larger than 16 MiB");
    EXPECT_LE(Client->Body.size(), net::kMaxBodyBytes);
}

TEST_F(HttpFixture, HeaderLineLongerThanTheBufferIsKeptWhole)
{
    const std::string longLine = "X-Long: " + std::string(100000, 'l') + "\r\n";
    Server->Reply("/longline", HttpReply("200 OK", longLine, "after"));
    ASSERT_EQ(TimedGet(*Client, Server->Url("/longline")).Class, "");
    EXPECT_EQ(Client->Header, "HTTP/1.0 200 OK\r\n" + longLine + "\r\n");
    EXPECT_EQ(Client->Body, "after");
}

TEST_F(HttpFixture, RefusedPortFailsTheConnection)
{
    const int port = nettest::UnusedLoopbackPort();
    const auto outcome = TimedGet(*Client, "http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(outcome.Class, "ESockError");
    // "Connection Failed", not the time-out's "Connection Timed out": the refusal ended the wait.
    EXPECT_EQ(outcome.Text, "Connection Failed");
}

TEST_F(HttpFixture, ProxyFormCarriesTheWholeAddress)
{
    const std::string target = "http://feeds.example.invalid:8080/a?b=1&c=2";
    Server->Reply(target, HttpReply("200 OK", "", "via proxy"));
    Client->Proxy = "127.0.0.1";
    Client->ProxyPort = Server->Port();
    ASSERT_EQ(TimedGet(*Client, target).Class, "");
    EXPECT_EQ(Server->Requests().at(0),
              "GET " + target +
                  " HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n"
                  "Host: feeds.example.invalid\r\n" +
                  kAccept + kContentType + "\r\n");
    EXPECT_EQ(Client->Body, "via proxy");
}

TEST_F(HttpFixture, ClientIsReusableAfterAFailure)
{
    Server->Route("/nolf2", [](FixtureConnection& c) {
        c.Send("HTTP/1.0 200");
        c.HoldOpen(5000);
    });
    EXPECT_EQ(TimedGet(*Client, Server->Url("/nolf2")).Class, "EAbortError");
    const auto outcome = TimedGet(*Client, Server->Url("/p"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(Client->Body, "hello");
}

TEST_F(HttpFixture, LinesAroundTheBufferSizeDoNotEndTheHeader)
{
    // ReadLn gives such lines back in pieces; the line end alone in the last piece is no blank line.
    for (size_t length : {65534u, 65535u, 65536u, 65537u}) {
        const std::string longLine = "X-Long: " + std::string(length - 8, 'l') + "\r\n";
        Server->Reply("/edge", HttpReply("302 Found", longLine + "Set-Cookie: edge=1\r\nLocation: /p\r\n", "moved"));
        Server->ClearRequests();
        ASSERT_EQ(TimedGet(*Client, Server->Url("/edge")).Class, "") << length;
        EXPECT_EQ(Server->Requests().size(), 2u) << length;
        EXPECT_EQ(Client->CookiesFor("127.0.0.1", false), "edge=1") << length;
        EXPECT_EQ(Client->Body, "hello") << length;
    }
}

TEST_F(HttpFixture, CookieEndsAtTheFirstCarriageReturnOrNul)
{
    for (const std::string& cookie : {std::string("a=1\rX-Injected: yes"), std::string("a=1\0tail", 8)}) {
        Server->Reply("/crumb", HttpReply("302 Found", "Set-Cookie: " + cookie + "\r\nLocation: /p\r\n", ""));
        Server->ClearRequests();
        ASSERT_EQ(TimedGet(*Client, Server->Url("/crumb")).Class, "");
        EXPECT_EQ(Client->CookiesFor("127.0.0.1", false), "a=1");
        ASSERT_EQ(Server->Requests().size(), 2u);
        EXPECT_NE(Server->Requests()[1].find("\r\nCookie: a=1\r\nContent-type"), std::string::npos);
        EXPECT_EQ(Server->Requests()[1].find("Injected"), std::string::npos);
    }
}

TEST_F(HttpFixture, EveryRedirectStatusWithALocationIsFollowedAndNoOther)
{
    for (const char* status : {"301 Moved Permanently", "303 See Other", "307 Temporary Redirect",
                               "308 Permanent Redirect", "304 Not Modified", "399 Odd"}) {
        Server->ClearRequests();
        Server->Reply("/moved3", HttpReply(status, "Location: p\r\n", "stay"));
        ASSERT_EQ(TimedGet(*Client, Server->Url("/moved3")).Class, "") << status;
        const bool followed = status[2] != '4' && status[1] != '9';
        EXPECT_EQ(Server->Requests().size(), followed ? 2u : 1u) << status;
        EXPECT_EQ(Client->Body, followed ? "hello" : "stay") << status;
    }
}

TEST_F(HttpFixture, LongLocationsAreFollowedWholeOrRefused)
{
    const std::string query = "/p?" + std::string(300, 'q');
    Server->Reply(query, HttpReply("200 OK", "", "whole"));
    Server->Reply("/long", HttpReply("302 Found", "Location: " + query + "\r\n", ""));
    ASSERT_EQ(TimedGet(*Client, Server->Url("/long")).Class, "");
    EXPECT_EQ(Client->Body, "whole");
    Server->Reply("/longer",
                  HttpReply("302 Found", "Location: /p?" + std::string(net::kMaxHeaderValueChars, 'q') + "\r\n", ""));
    const auto outcome = TimedGet(*Client, Server->Url("/longer"));
    EXPECT_EQ(outcome.Class + ": " + outcome.Text, "ESockError: Redirect address too long");
}

TEST_F(HttpFixture, CookieStaysThroughALaterRedirectThatBringsNone)
{
    ASSERT_EQ(TimedGet(*Client, Server->Url("/r1")).Class, "");
    Server->ClearRequests();
    ASSERT_EQ(TimedGet(*Client, Server->Url("/rel")).Class, "");
    EXPECT_EQ(Client->CookiesFor("127.0.0.1", false), "a=1");
    const auto requests = Server->Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const std::string& request : requests)
        EXPECT_NE(request.find("\r\nCookie: a=1\r\n"), std::string::npos) << request;
}

TEST_F(HttpFixture, RedirectsGoToHttpAndHttpsOnly)
{
    for (const char* to : {"gopher://127.0.0.1:70/x", "ftp://127.0.0.1/x", "file:///etc/passwd"}) {
        Server->ClearRequests();
        Server->Reply("/away", HttpReply("302 Found", std::string("Location: ") + to + "\r\n", ""));
        const auto outcome = TimedGet(*Client, Server->Url("/away"));
        EXPECT_EQ(outcome.Class + ": " + outcome.Text.substr(0, 12), "ESockError: Redirect to ") << to;
        EXPECT_EQ(Server->Requests().size(), 1u) << to;
    }
}

// RFC 9110: "Location:/p" and "Content-Length:5" are valid; the body ends at its length even on a
// connection the server keeps open.
TEST_F(HttpFixture, HeaderNamesTakeOptionalBlanks)
{
    Server->Reply("/tight", "HTTP/1.1 302 Found\r\nlocation:/kept\r\n\r\n");
    Server->Route("/kept", [](FixtureConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length:5\r\nConnection:keep-alive\r\n\r\nhello");
        c.HoldOpen(5000);
    });
    // Waiting for the close would end in the time-out's EAbortError.
    const auto outcome = TimedGet(*Client, Server->Url("/tight"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(Client->Body, "hello");
}

TEST_F(HttpFixture, StatusOutsideTheRangeIsNoRedirect)
{
    Server->Reply("/odd", HttpReply("65838 Odd", "Location: /p\r\n", "odd"));
    ASSERT_EQ(TimedGet(*Client, Server->Url("/odd")).Class, "");
    EXPECT_EQ(Server->Requests().size(), 1u);
    EXPECT_EQ(Client->StatusCode(), 0);
    EXPECT_EQ(Client->Body, "odd");
}

TEST_F(HttpFixture, TargetsAreEncodedAndLineBreaksNeverSent)
{
    Server->Reply("/a%20b.xml", HttpReply("200 OK", "", "spaced"));
    Server->Reply("/spaced", HttpReply("302 Found", "Location: /a b.xml\r\n", ""));
    ASSERT_EQ(TimedGet(*Client, Server->Url("/spaced")).Class, "");
    EXPECT_EQ(Client->Body, "spaced");
    Server->ClearRequests();
    const auto outcome = TimedGet(*Client, Server->Url("/p\r\nX-Injected: 1"));
    EXPECT_EQ(outcome.Class + ": " + outcome.Text, "other: Line break in the address");
    EXPECT_TRUE(Server->Requests().empty());
}

// A chunked reply on a connection kept open ends with its last chunk, its sizes taken out.
TEST_F(HttpFixture, ChunkedReplyEndsAtItsLastChunk)
{
    Server->Route("/chunked", [](FixtureConnection& c) {
        c.SendSlowly("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6;x=y\r\n world\r\n0\r\n\r\n",
                     7, 5);
        c.HoldOpen(5000);
    });
    Server->Reply("/badchunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello");
    const auto outcome = TimedGet(*Client, Server->Url("/chunked"));
    ASSERT_EQ(outcome.Class, "") << outcome.Text;
    EXPECT_EQ(Client->Body, "hello world");
    EXPECT_EQ(TimedGet(*Client, Server->Url("/badchunk")).Text, "Bad chunk in the reply body");
}

}  // namespace
