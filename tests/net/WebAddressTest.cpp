// Web addresses as text: redirect references resolved as RFC 3986 does, query values escaped,
// and the links the saver agrees to open.
#include "net/WebAddress.h"

#include "config/OnlineDirectory.h"
#include "engine/HostNames.h"

#include <gtest/gtest.h>

namespace {

TEST(WebAddress, ReferencesResolveAgainstTheAddressAsked)
{
    const std::string base = "http://h:8080/news/world/feed.rss?x=1";
    EXPECT_EQ(ResolveReference(base, "feed.xml"), "http://h:8080/news/world/feed.xml");
    EXPECT_EQ(ResolveReference(base, "/landing?t=12:00"), "http://h:8080/landing?t=12:00");
    EXPECT_EQ(ResolveReference(base, "../a/./b/../c"), "http://h:8080/news/a/c");
    EXPECT_EQ(ResolveReference(base, "//other/p#frag"), "http://other/p");
    EXPECT_EQ(ResolveReference(base, "?y=2"), "http://h:8080/news/world/feed.rss?y=2");
    EXPECT_EQ(ResolveReference(base, ""), base);
    EXPECT_EQ(ResolveReference(base, "https://s.test:8443/a:b?c=d:e"), "https://s.test:8443/a:b?c=d:e");
    EXPECT_EQ(ResolveReference("https://h", "a"), "https://h/a");
    EXPECT_EQ(ResolveReference(base, "../../../../x"), "http://h:8080/x");
}

TEST(WebAddress, PercentEncodingKeepsAValueOneValue)
{
    EXPECT_EQ(PercentEncode("7"), "7");
    EXPECT_EQ(PercentEncode("a b&c=d\r\nHost: x"), "a%20b%26c%3Dd%0D%0AHost%3A%20x");
    EXPECT_EQ(PercentEncode("-._~\xC3\xA9"), "-._~%C3%A9");
    // The directory's category identifier cannot split the channel list's request.
    EXPECT_EQ(ChannelListUrl("7\r\nHost: x"),
              std::string("http://") + hosts::kNewsDirectoryHost +
                  "/rssdir/rsslist.php?category_id=7%0D%0AHost%3A%20x");
}

TEST(WebAddress, OnlyAbsoluteWebAddressesAreOpened)
{
    EXPECT_EQ(WebPageAddress("  http://news.test/world?a=1&amp;b=2\n"), "http://news.test/world?a=1&b=2");
    EXPECT_EQ(WebPageAddress("HTTPS://news.test"), "HTTPS://news.test");
    for (const char* bad : {"", "file:///etc/passwd", "smb://server/share", "/usr/share/applications/x.desktop",
                            "x.desktop", "--help", "http://a\x01.test/", "http://a.test/\x7F", "http://a.test/ b",
                            "http://", "http:///etc/passwd", "https://@evil", "javascript:alert(1)", "news.test/x"})
        EXPECT_EQ(WebPageAddress(bad), "") << bad;
}

}  // namespace
