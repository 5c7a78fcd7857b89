// The Linux socket backend reports failures in the client's socket error numbers.
#include "platform/net/NetErrors.h"
#include "platform/net/StreamSocket.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(NetErrors, ErrnoMapsToTheClientsNumbers)
{
    EXPECT_EQ(plat::SocketErrorFromErrno(0), 0);
    EXPECT_EQ(plat::SocketErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(plat::SocketErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(plat::SocketErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(plat::SocketErrorFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(plat::SocketErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(plat::SocketErrorFromErrno(ENOTCONN), 10057);
    EXPECT_EQ(plat::SocketErrorFromErrno(EAGAIN), 10035);
    EXPECT_EQ(plat::SocketErrorFromErrno(EWOULDBLOCK), 10035);
    // An errno without a number of its own still reads as a failure.
    EXPECT_GT(plat::SocketErrorFromErrno(ENOMEDIUM), 10000);
}

TEST(NetErrors, ClosedSocketIsNotConnected)
{
    int error = -1;
    auto socket = plat::SystemNet().NewSocket(true, error);
    ASSERT_TRUE(socket) << error;
    EXPECT_EQ(socket->Close(), 0);
    char byte = 0;
    EXPECT_EQ(socket->Receive(&byte, 1, true), -1);
    EXPECT_EQ(socket->LastError(), plat::kSockNotConnected);
}

TEST(NetErrors, NumericAddressesOnly)
{
    plat::NetAddress address;
    EXPECT_TRUE(plat::ParseNumericAddress("127.0.0.1", address));
    EXPECT_EQ(address.Family, plat::NetAddress::kIPv4);
    EXPECT_EQ(plat::AddressText(address), "127.0.0.1");
    EXPECT_TRUE(plat::ParseNumericAddress("::ffff:10.0.0.1", address));
    EXPECT_EQ(address.Family, plat::NetAddress::kIPv6);
    EXPECT_TRUE(plat::ParseNumericAddress("fe80::1%lo", address));
    EXPECT_EQ(address.ScopeId, 1u);
    for (const char* text : {"localhost", "", "[::1]", "127.0.0.1%lo", "::1%nosuchif", "1.2.3"})
        EXPECT_FALSE(plat::ParseNumericAddress(text, address)) << text;
}

}  // namespace
