// The HTTP client's address rules, request lines and reply header reading, over prepared bytes.
#include "net/ExStringList.h"
#include "net/HttpLimits.h"
#include "net/Httpclient.h"
#include "platform/net/MemoryStream.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class HttpOverMemory : public testing::Test {
protected:
    plat::MemoryNet Net;
    THttpClient Client{nullptr, Net};
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

TEST_F(HttpOverMemory, SchemesAndRelativeAddresses)
{
    Client.URL = "ftp://files/x";
    Client.ParseURL();
    EXPECT_EQ(Client.Port, 21);
    Client.URL = "gopher://g/";
    Client.ParseURL();
    EXPECT_EQ(Client.Port, 70);
    EXPECT_EQ(Client.Path(), "/");
    Client.URL = "/other";
    Client.ParseURL();
    EXPECT_EQ(Client.Host, "g");  // a path alone stays on the server
    EXPECT_EQ(Client.Path(), "/other");
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
}

TEST_F(HttpOverMemory, HeaderValuesAreTakenAtTheirOffsets)
{
    Net.AddReply({"HTTP/1.1 302 Found\r\n", "set-cookie: id=7; path=/\r\nLOCATION: /x\r\n",
                  "Content-Length: 42abc\r\nLocation:/ignored\r\n\r\nbody"});
    THttpClient client(nullptr, Net);
    client.Host = "h";
    client.Connect();
    client.RemoveHeader();
    EXPECT_EQ(client.StatusCode(), 302);
    EXPECT_EQ(client.ReceivedCookie(), "id=7; path=/");
    EXPECT_EQ(client.Location(), "/x");
    EXPECT_EQ(client.ContentLength(), 42);
    EXPECT_EQ(client.Header,
              "HTTP/1.1 302 Found\r\nset-cookie: id=7; path=/\r\nLOCATION: /x\r\n"
              "Content-Length: 42abc\r\nLocation:/ignored\r\n\r\n");
}

TEST_F(HttpOverMemory, StatusThatIsNotANumberCountsAsZero)
{
    Net.AddReply({"ICY nonsense\n\n"});
    THttpClient client(nullptr, Net);
    client.Host = "h";
    client.Connect();
    client.RemoveHeader();
    EXPECT_EQ(client.StatusCode(), 0);
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
