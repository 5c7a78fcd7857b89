// The Linux socket backend: non-blocking IPv4 TCP sockets waited on with poll().
#include "platform/net/NetErrors.h"
#include "platform/net/StreamSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {

namespace {

class PosixStreamSocket final : public StreamSocket {
public:
    explicit PosixStreamSocket(int Fd) : FFd(Fd) {}
    ~PosixStreamSocket() override { Close(); }

    int StartConnect(uint32_t Address, uint16_t Port) override
    {
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(Port);
        remote.sin_addr.s_addr = Address;
        if (connect(FFd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0)
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
    int Fail(int Errno)
    {
        FLastError = FFd < 0 ? kSockNotConnected : SocketErrorFromErrno(Errno);
        return FLastError;
    }

    int FFd;
    int FLastError = 0;
};

class PosixNet final : public NetServices {
public:
    std::unique_ptr<StreamSocket> NewSocket(bool LingerOff, int& Error) override
    {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (fd < 0) {
            Error = SocketErrorFromErrno(errno);
            return nullptr;
        }
        // The client writes a request as a few whole pieces (the lines, then the blank line):
        // with Nagle's rule the last piece waits for the server's delayed acknowledgement of the
        // first, about 40 ms on every request.
        const int on = 1;
        if (setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) {
            Error = SocketErrorFromErrno(errno);
            close(fd);
            return nullptr;
        }
        if (LingerOff) {
            const linger off{1, 0};
            if (setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off) != 0) {
                Error = SocketErrorFromErrno(errno);
                close(fd);
                return nullptr;
            }
        }
        Error = 0;
        return std::make_unique<PosixStreamSocket>(fd);
    }

    Resolver& GetResolver() override { return SystemResolver(); }
};

}  // namespace

NetServices& SystemNet()
{
    static PosixNet net;
    return net;
}

bool ParseDottedIPv4(const std::string& Text, uint32_t& Address)
{
    in_addr parsed{};
    if (inet_pton(AF_INET, Text.c_str(), &parsed) != 1)
        return false;
    Address = parsed.s_addr;
    return true;
}

}  // namespace plat
