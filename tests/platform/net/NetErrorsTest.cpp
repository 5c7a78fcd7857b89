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

TEST(NetErrors, DottedAddressesOnly)
{
    uint32_t address = 0;
    EXPECT_TRUE(plat::ParseDottedIPv4("127.0.0.1", address));
    EXPECT_EQ(address, 0x0100007fu);
    EXPECT_FALSE(plat::ParseDottedIPv4("localhost", address));
    EXPECT_FALSE(plat::ParseDottedIPv4("", address));
}

}  // namespace
