// The socket client's line reader, capture and helpers over prepared bytes (plat::MemoryNet),
// and its time-out rules.
#include "net/Sockclient.h"
#include "net/HttpLimits.h"
#include "platform/net/MemoryStream.h"
#include "platform/net/TimerPump.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class SockClientOverMemory : public testing::Test {
protected:
    // A connected client whose server sends Pieces and then closes.
    std::unique_ptr<TSockClient> ConnectedTo(std::vector<std::string> Pieces)
    {
        Net.AddReply(std::move(Pieces));
        auto client = std::make_unique<TSockClient>(nullptr, Pump, Net);
        client->Host = "127.0.0.1";
        client->Port = 80;
        client->Connect();
        return client;
    }

    plat::TimerPump Pump;
    plat::MemoryNet Net;
};

TEST_F(SockClientOverMemory, ReadLnKeepsLineEndsAndStopsAtTheClose)
{
    auto client = ConnectedTo({"HTTP/1.0 200 OK\r\n\r", "\nbare\nno end"});
    EXPECT_EQ(client->ReadLn(), "HTTP/1.0 200 OK\r\n");
    EXPECT_EQ(client->ReadLn(), "\r\n");
    EXPECT_EQ(client->ReadLn(), "bare\n");
    EXPECT_EQ(client->ReadLn(), "");  // a line without LF before the close
}

TEST_F(SockClientOverMemory, ReadLnJoinsLinesSplitIntoSingleBytes)
{
    auto client = ConnectedTo({"a", "b", "c", "\r", "\n", "rest\n"});
    EXPECT_EQ(client->ReadLn(), "abc\r\n");
    EXPECT_EQ(client->ReadLn(), "rest\n");
}

TEST_F(SockClientOverMemory, OverlongLineComesInBufferSizedPieces)
{
    const std::string line(net::kSockBufferBytes + 10, 'x');
    auto client = ConnectedTo({line.substr(0, 40000), line.substr(40000) + "\n"});
    EXPECT_EQ(client->ReadLn(), std::string(net::kSockBufferBytes, 'x'));
    EXPECT_EQ(client->ReadLn(), std::string(10, 'x') + "\n");
}

TEST_F(SockClientOverMemory, CaptureKeepsEveryPieceAndHonoursTheLimit)
{
    auto client = ConnectedTo({"body ", "x", " more"});
    std::string text = "stale";
    client->CaptureString(text, -1);
    EXPECT_EQ(text, "body x more");
    EXPECT_EQ(client->BytesReceived(), 11);

    auto limited = ConnectedTo({"12345", "67890"});
    limited->CaptureString(text, 3);
    EXPECT_EQ(text, "12345");
}

TEST_F(SockClientOverMemory, CanceledTransferRaisesItsAbortAndClearsTheFlag)
{
    auto client = ConnectedTo({"never read\n"});
    client->Cancel();
    try {
        client->ReadLn();
        FAIL() << "ReadLn after Cancel returned";
    } catch (const EAbortError& error) {
        EXPECT_STREQ(error.what(), "Socket readln aborted");
    }
    EXPECT_FALSE(client->Canceled());
    client->Cancel();
    EXPECT_THROW(client->Write("x"), EAbortError);
}

TEST_F(SockClientOverMemory, WritelnSendsTheLineEnd)
{
    auto client = ConnectedTo({});
    client->Write("GET / HTTP/1.0");
    client->Writeln("");
    EXPECT_EQ(Net.Sent().at(0), "GET / HTTP/1.0\r\n");
}

TEST_F(SockClientOverMemory, ConnectRefusesASecondConnection)
{
    auto client = ConnectedTo({});
    try {
        client->Connect();
        FAIL();
    } catch (const ESockError& error) {
        EXPECT_STREQ(error.what(), "Already connected");
    }
    client->Disconnect();
    EXPECT_FALSE(client->Connected());
    EXPECT_NO_THROW(client->Connect());
}

TEST_F(SockClientOverMemory, NegativeTimeOutIsARangeError)
{
    auto client = ConnectedTo({"x\n"});
    client->TimeOut = -1;
    EXPECT_THROW(client->ReadLn(), std::out_of_range);
}

TEST_F(SockClientOverMemory, NullAddressIsRefused)
{
    TSockClient client(nullptr, Pump, Net);
    client.Host = "0.0.0.0";
    try {
        client.Connect();
        FAIL();
    } catch (const ESockError& error) {
        EXPECT_STREQ(error.what(), "Null Remote Address");
    }
}

TEST(SockClientText, SocketErrorStrUsesTheTable)
{
    EXPECT_EQ(TSockClient::SocketErrorStr(10061), "10061:Connection refused");
    EXPECT_EQ(TSockClient::SocketErrorStr(11001), "11001:Host not found");
    EXPECT_EQ(TSockClient::SocketErrorStr(10054), "10054:Connection reset by peer");
    EXPECT_EQ(TSockClient::SocketErrorStr(10100), "Unknown Error No. 10100");
    EXPECT_EQ(TSockClient::SocketErrorStr(0), "");
}

TEST(SockClientText, NthWordAndNthPosCountEveryField)
{
    EXPECT_EQ(TSockClient::NthWord("http://h:80/p", '/', 3), "h:80");
    EXPECT_EQ(TSockClient::NthWord("a//b", '/', 2), "");
    EXPECT_EQ(TSockClient::NthWord("a/b", '/', 3), "");
    EXPECT_EQ(TSockClient::NthWord("HTTP/1.0 200 OK", ' ', 2), "200");
    EXPECT_EQ(TSockClient::NthPos("http://h/p", '/', 3), 9);
    EXPECT_EQ(TSockClient::NthPos("http://h", '/', 3), 9);
}

}  // namespace
