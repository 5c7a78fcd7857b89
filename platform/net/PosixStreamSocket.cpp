// The Linux socket backend: non-blocking TCP sockets, IPv4 or IPv6, waited on with poll().
#include "platform/net/NetErrors.h"
#include "platform/net/StreamSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {

namespace {

// A non-blocking TCP socket of Family with our options, or -1 with errno set.
int OpenTcp(int Family, bool LingerOff)
{
    const int fd = socket(Family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return -1;
    // The client writes a request as a few whole pieces (the lines, then the blank line): with
    // Nagle's rule the last piece waits for the server's delayed acknowledgement of the first,
    // about 40 ms on every request.
    const int on = 1;
    const linger off{1, 0};
    if (setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 ||
        (LingerOff && setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off) != 0)) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

class PosixStreamSocket final : public StreamSocket {
public:
    PosixStreamSocket(int Fd, bool LingerOff) : FFd(Fd), FLingerOff(LingerOff) {}
    ~PosixStreamSocket() override { Close(); }

    int StartConnect(const NetAddress& Address, uint16_t Port) override
    {
        sockaddr_storage remote{};
        const socklen_t length = Fill(Address, Port, remote);
        if (length == 0)
            return Fail(EAFNOSUPPORT);
        // The socket is made for IPv4; another family needs a socket of its own.
        if (FFd >= 0 && remote.ss_family != FFamily) {
            const int fd = OpenTcp(remote.ss_family, FLingerOff);
            if (fd < 0)
                return Fail(errno);
            close(FFd);
            FFd = fd;
            FFamily = remote.ss_family;
        }
        if (connect(FFd, reinterpret_cast<const sockaddr*>(&remote), length) == 0)
            return 0;
        // A connection being made is "would block", as a non-blocking connect reports it.
        return Fail(errno == EINPROGRESS ? EWOULDBLOCK : errno);
    }

    int ConnectResult() override
    {
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(FFd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        return error == 0 ? 0 : Fail(error);
    }

    int Send(const char* Data, int Length) override
    {
        const ssize_t sent = send(FFd, Data, static_cast<size_t>(Length), MSG_NOSIGNAL);
        return sent < 0 ? (Fail(errno), -1) : static_cast<int>(sent);
    }

    int Receive(char* Data, int Length, bool Peek) override
    {
        const ssize_t got = recv(FFd, Data, static_cast<size_t>(Length), Peek ? MSG_PEEK : 0);
        return got < 0 ? (Fail(errno), -1) : static_cast<int>(got);
    }

    int LastError() const override { return FLastError; }

    int Wait(int Events, int Ms) override
    {
        pollfd entry{FFd, 0, 0};
        if (Events & kReadable)
            entry.events |= POLLIN;
        if (Events & kWritable)
            entry.events |= POLLOUT;
        if (poll(&entry, 1, Ms) <= 0)
            return 0;
        if (entry.revents & (POLLERR | POLLHUP | POLLNVAL))
            return Events;
        return ((entry.revents & POLLIN) ? kReadable : 0) | ((entry.revents & POLLOUT) ? kWritable : 0);
    }

    int Close() override
    {
        if (FFd < 0)
            return 0;
        const int result = close(FFd);
        const int error = errno;
        FFd = -1;
        if (result == 0)
            return 0;
        FLastError = SocketErrorFromErrno(error);
        return FLastError;
    }

private:
    static socklen_t Fill(const NetAddress& Address, uint16_t Port, sockaddr_storage& Remote)
    {
        if (Address.Family == NetAddress::kIPv4) {
            auto& v4 = reinterpret_cast<sockaddr_in&>(Remote);
            v4.sin_family = AF_INET;
            v4.sin_port = htons(Port);
            std::memcpy(&v4.sin_addr, Address.Bytes.data(), 4);
            return sizeof v4;
        }
        if (Address.Family == NetAddress::kIPv6) {
            auto& v6 = reinterpret_cast<sockaddr_in6&>(Remote);
            v6.sin6_family = AF_INET6;
            v6.sin6_port = htons(Port);
            std::memcpy(&v6.sin6_addr, Address.Bytes.data(), 16);
            v6.sin6_scope_id = Address.ScopeId;
            return sizeof v6;
        }
        return 0;
    }

    int Fail(int Errno)
    {
        FLastError = FFd < 0 ? kSockNotConnected : SocketErrorFromErrno(Errno);
        return FLastError;
    }

    int FFd;
    int FFamily = AF_INET;
    bool FLingerOff;
    int FLastError = 0;
};

class PosixNet final : public NetServices {
public:
    std::unique_ptr<StreamSocket> NewSocket(bool LingerOff, int& Error) override
    {
        const int fd = OpenTcp(AF_INET, LingerOff);
        Error = fd < 0 ? SocketErrorFromErrno(errno) : 0;
        return fd < 0 ? nullptr : std::make_unique<PosixStreamSocket>(fd, LingerOff);
    }

    Resolver& GetResolver() override { return SystemResolver(); }
};

}  // namespace

NetServices& SystemNet()
{
    static PosixNet net;
    return net;
}

}  // namespace plat
