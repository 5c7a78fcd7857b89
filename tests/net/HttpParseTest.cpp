// The HTTP client's address rules, request lines and reply header reading, over prepared bytes.
#include "net/ExStringList.h"
#include "net/HttpLimits.h"
#include "net/Httpclient.h"
#include "platform/net/MemoryStream.h"
#include "platform/net/TimerPump.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

class HttpOverMemory : public testing::Test {
protected:
    plat::MemoryNet Net;
    plat::TimerPump Pump;
    THttpClient Client{nullptr, Pump, Net};
};

TEST_F(HttpOverMemory, BareHostGetsTheRootPath)
{
    Client.URL = "http://host";
    Client.ParseURL();
    EXPECT_EQ(Client.Host, "host");
    EXPECT_EQ(Client.Port, 80);
    EXPECT_EQ(Client.Path(), "/");
    EXPECT_EQ(Client.URL, "http://host/");
    Client.AssembleHTTPHeader();
    EXPECT_EQ(Client.Request().Strings(0), "GET / HTTP/1.0");
}

TEST_F(HttpOverMemory, PortAndQueryComeFromTheAddress)
{
    Client.URL = "http://H:8080/a?b=1&c=2";
    Client.ParseURL();
    EXPECT_EQ(Client.Host, "H");
    EXPECT_EQ(Client.Port, 8080);
    Client.AssembleHTTPHeader();
    EXPECT_EQ(Client.Request().Strings(0), "GET /a?b=1&c=2 HTTP/1.0");
    EXPECT_EQ(Client.Request().Strings(1), "Host: H");

    Client.Proxy = "P";
    Client.ProxyPort = 3128;
    Client.AssembleHTTPHeader();
    EXPECT_EQ(Client.Request().Strings(0), "GET http://H:8080/a?b=1&c=2 HTTP/1.0");
    EXPECT_EQ(Client.Request().Strings(1), "Proxy-Connection: Keep-Alive");
    EXPECT_EQ(Client.Request().Strings(2), "Host: H");
    EXPECT_EQ(Client.Request().Count(), 7);

    // A colon in the path or query is no port; a fragment is not sent.
    Client.URL = "http://h/landing?t=12:00#top";
    Client.ParseURL();
    EXPECT_EQ(Client.Port, 80);
    EXPECT_EQ(Client.Path(), "/landing?t=12:00");
    Client.URL = "https://user:pw@s?q=a:b";
    Client.ParseURL();
    EXPECT_EQ(Client.Host, "s");
    EXPECT_EQ(Client.Port, 443);
    EXPECT_EQ(Client.Path(), "/?q=a:b");
}

TEST_F(HttpOverMemory, EachAddressStandsOnItsOwn)
{
    Client.URL = "https://secure.example:8443/weather";
    Client.ParseURL();
    // Nothing of the https address before carries over to one without a scheme.
    for (const char* url : {"host/feed", "//host/feed", "HTTP://host/feed"}) {
        Client.URL = url;
        Client.ParseURL();
        EXPECT_FALSE(Client.Secure()) << url;
        EXPECT_EQ(Client.Port, 80) << url;
        EXPECT_EQ(Client.Host, "host") << url;
        EXPECT_EQ(Client.URL, "http://host/feed") << url;
    }
    Client.URL = "host:8080?q";
    Client.ParseURL();
    EXPECT_EQ(Client.URL, "http://host:8080/?q");
    Client.URL = "http://[::1]:8080/x";
    Client.ParseURL();
    EXPECT_EQ(Client.Host, "::1");
    EXPECT_EQ(Client.Port, 8080);
    Client.AssembleHTTPHeader();
    EXPECT_EQ(Client.Request().Strings(1), "Host: [::1]");
}

TEST_F(HttpOverMemory, TargetsAreEncodedAndLineBreaksRefused)
{
    Client.URL = "http://h/a b.xml?q=\"x\"&t=<1>%20%zz\x01\xC3\xA9";
    Client.ParseURL();
    EXPECT_EQ(Client.Path(), "/a%20b.xml?q=%22x%22&t=%3C1%3E%20%25zz%01%C3%A9");
    for (const char* url : {"http://h/feed\r\nX-Injected: 1", "http://h/\nGET", "http://h\r/"}) {
        Client.URL = url;
        EXPECT_THROW(Client.ParseURL(), std::runtime_error) << url;
        EXPECT_EQ(Client.Host, "h");
    }
}
TEST_F(HttpOverMemory, LongPathsGoWholeAndTooLongOnesAreRefused)
{
    const std::string path = "/" + std::string(299, 'p');
    Client.URL = "http://h" + path;
    Client.ParseURL();
    EXPECT_EQ(Client.Path(), path);
    Client.Proxy = "p";
    Client.AssembleHTTPHeader();
    EXPECT_EQ(Client.Request().Strings(0), "GET " + Client.URL + " HTTP/1.0");
    Client.URL = "http://h/" + std::string(net::kMaxPathChars, 'p');
    EXPECT_THROW(Client.ParseURL(), ESockError);
}

TEST_F(HttpOverMemory, BadAddressesAreRuntimeErrorsNotSocketErrors)
{
    auto errorOf = [this](const std::string& Url) -> std::string {
        try {
            Client.Get(Url);
        } catch (const ESockError&) {
            return "ESockError";
        } catch (const EConvertError& error) {
            return std::string("EConvertError ") + error.what();
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return "none";
    };
    EXPECT_EQ(errorOf(""), "Empty URL");
    EXPECT_EQ(errorOf("http://h:8o/"), "EConvertError '8o' is not a valid integer value");
    EXPECT_EQ(errorOf("http://h:65536/"), "EConvertError '65536' is not a valid port");
    EXPECT_EQ(errorOf("http://h:0/"), "EConvertError '0' is not a valid port");
    EXPECT_EQ(errorOf("/other"), "No host in the address");
    EXPECT_EQ(errorOf("http://[::1/"), "Bad IPv6 address in brackets");
    EXPECT_EQ(errorOf("http://b\xC3\xBC.example/"), "Bad host name in the address");
    for (const char* other : {"ftp://files/x", "gopher://g/", "file:///etc/passwd"})
        EXPECT_EQ(errorOf(other).substr(0, 28), "Not an http or https address") << other;
}

// RFC 9110: blanks around a value are optional, a name is any letter case.
TEST_F(HttpOverMemory, HeaderValuesWithOrWithoutBlanks)
{
    Net.AddReply({"HTTP/1.1 302 Found\r\n", "set-cookie:id=7; path=/\r\nLOCATION:\t/x \r\n",
                  "Content-Length:42abc\r\nX-Location: /no\r\n\r\nbody"});
    THttpClient client(nullptr, Pump, Net);
    client.Host = "h";
    client.Connect();
    client.RemoveHeader();
    EXPECT_EQ(client.StatusCode(), 302);
    EXPECT_EQ(client.ReceivedCookie(), "id=7; path=/");
    EXPECT_EQ(client.Location(), "/x");
    EXPECT_EQ(client.ContentLength(), 42);
}

TEST_F(HttpOverMemory, StatusIsThreeDigitsFrom100To599)
{
    for (const auto& [line, status] :
         std::vector<std::pair<std::string, int>>{{"ICY nonsense", 0},
                                                  {"HTTP/1.0 65838 Found", 0},
                                                  {"HTTP/1.0 099 x", 0},
                                                  {"HTTP/1.0 600 x", 0},
                                                  {"HTTP/1.0 2000 x", 0},
                                                  {"HTTP/1.0 599", 599},
                                                  {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 204", 204}}) {
        Net.AddReply({line + "\r\n\r\n"});
        THttpClient client(nullptr, Pump, Net);
        client.Host = "h";
        client.Connect();
        client.RemoveHeader();
        EXPECT_EQ(client.StatusCode(), status) << line;
    }
}

TEST(ExStringList, ValuesByNameWithoutCase)
{
    TExStringList list;
    list.Add("GET / HTTP/1.0");
    list.SetValue("Host", "a");
    list.SetValue("host", "b");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(1), "host: b");
    EXPECT_EQ(list.GetValue("HOST"), "b");
    EXPECT_EQ(list.IndexOfName("Cookie"), -1);
    list.SetValue("Host", "");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(), "GET / HTTP/1.0\r\n");
}

}  // namespace
