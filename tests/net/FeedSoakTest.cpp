// The feed thread for 1,000 refreshes, the minute clock driven by the test, against servers that
// answer each refresh with one of: a good feed, 404, a body cut short, garbage, a redirect loop, a
// stall, a TLS close without goodbye. The thread must still be alive at the end, the ticker must
// show the last good values, and memory must not grow from the 100th refresh to the 1,000th.
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "net/Httpclient.h"
#include "net/Unit2thread1.h"
#include "platform/app/Application.h"
#include "tests/net/ChildServer.h"
#include "tests/net/FixtureServer.h"
#include "tests/net/NetTestUtil.h"
#include "tests/net/TestCa.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using nettest::HttpReply;

constexpr int kRefreshes = 1000;

std::string Feed(const std::string& Title)
{
    return "<rss version=\"2.0\"><channel><title>" + Title + "</title><link>http://" + Title +
        "/</link><item><title>Item of " + Title + "</title></item></channel></rss>";
}

// The memory the process holds: the live heap under the address sanitizer (whose quarantine keeps
// freed blocks resident on purpose), else the resident set.
size_t HeldBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    size_t pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}

enum Kind { kGood, kMissing, kCut, kGarbage, kLoop, kStall, kTlsNoGoodbye, kKinds };

TEST(FeedSoak, AThousandRefreshesOfEveryKindOfReply)
{
    if (!nettest::ChildServer::Installed(nettest::kPython))
        GTEST_SKIP() << nettest::kPython << " is not installed";
    std::atomic<int> refresh{0};
    nettest::FixtureServer server;
    server.Route("/good.xml", [&](nettest::FixtureConnection& C) {
        C.Send(HttpReply("200 OK", "", Feed("good" + std::to_string(refresh.load() - 1))));
    });
    server.Reply("/missing.xml", HttpReply("404 Not Found", "", "<html><title>Not Found</title></html>"));
    server.Reply("/cut.xml", "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + Feed("cut"));
    server.Reply("/garbage.xml", nettest::RandomBytes(3000));
    server.Reply("/loop.xml", HttpReply("302 Found", "Location: loop.xml\r\n", Feed("loop")));
    server.Route("/stall.xml", [](nettest::FixtureConnection& C) { C.HoldOpen(5000); });
    nettest::ChildServer tls;
    ASSERT_TRUE(nettest::StartTlsWithoutGoodbye(tls, "HTTP/1.0 200 OK\r\n\r\n" + Feed("tls")))
        << tls.ReadFile("stderr.log");
    nettest::TrustOnly trust(tls.Dir() + "/ca.pem");
    const std::string addresses[kKinds] = {server.Url("/good.xml"),
                                           server.Url("/missing.xml"),
                                           server.Url("/cut.xml"),
                                           server.Url("/garbage.xml"),
                                           server.Url("/loop.xml"),
                                           server.Url("/stall.xml"),
                                           "https://localhost:" + std::to_string(tls.Port()) + "/"};

    plat::Application app;
    THttpClient http(nullptr, app);
    TKGW kgw(nullptr, app.Fonts());
    TKGR kgr(nullptr, app.Fonts());
    std::string newsLink;
    std::string lastGood;
    size_t heldAt100 = 0, heldAt1000 = 0;
    int32_t minute = 0;
    TFeedTargets targets{&http,
                         &kgw,
                         &kgr,
                         &newsLink,
                         [&] {
                             TFeedSettings settings;
                             const int n = refresh++;
                             server.ClearRequests();
                             if (n == 100)
                                 heldAt100 = HeldBytes();
                             if (n == kRefreshes) {
                                 heldAt1000 = HeldBytes();
                                 app.Terminate();
                                 return settings;
                             }
                             const Kind kind = static_cast<Kind>(n % kKinds);
                             if (kind == kGood || kind == kTlsNoGoodbye)
                                 lastGood = kind == kGood ? "good" + std::to_string(n) : "tls";
                             settings.ShowNews = 1;
                             settings.RSS_Url = addresses[kind];
                             // The stall costs one short time-out, not the saver's five seconds.
                             settings.TimeOut = kind == kStall ? 50 : 3000;
                             return settings;
                         },
                         [&] { return ++minute % 60; },
                         [] { return std::chrono::milliseconds(0); }};
    WeatherHTTP thread(app, targets);
    app.Run();

    EXPECT_EQ(refresh.load(), kRefreshes + 1);
    EXPECT_FALSE(thread.Finished());
    EXPECT_EQ(kgr.GetNameNews(), lastGood);
    EXPECT_EQ(newsLink, "http://" + lastGood + "/");
    EXPECT_EQ(kgr.GetRssLine(), "  ***  Item of " + lastGood + "  ***  ");
    EXPECT_LE(heldAt1000, heldAt100 + (2u << 20))
        << "at the 100th refresh " << heldAt100 << ", at the 1000th " << heldAt1000;
    std::printf("memory held at the 100th refresh: %zu bytes, at the 1000th: %zu\n", heldAt100, heldAt1000);
}

}  // namespace
