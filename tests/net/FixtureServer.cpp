#include "tests/net/FixtureServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace nettest {

namespace {

sockaddr_in Loopback(int Port, const char* Address = "127.0.0.1")
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(Port));
    inet_pton(AF_INET, Address, &address.sin_addr);
    return address;
}

int BoundPort(int Fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(Fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

}  // namespace

bool FixtureConnection::Send(std::string_view Bytes)
{
    while (!Bytes.empty()) {
        if (FStopping)
            return false;
        pollfd entry{FFd, POLLOUT, 0};
        if (poll(&entry, 1, 50) <= 0)
            continue;
        const ssize_t sent = send(FFd, Bytes.data(), Bytes.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return false;
        }
        Bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool FixtureConnection::SendSlowly(std::string_view Bytes, size_t Chunk, int DelayMs)
{
    while (!Bytes.empty()) {
        const size_t count = std::min(Chunk, Bytes.size());
        if (!Send(Bytes.substr(0, count)))
            return false;
        Bytes.remove_prefix(count);
        std::this_thread::sleep_for(std::chrono::milliseconds(DelayMs));
    }
    return true;
}

void FixtureConnection::Reset()
{
    const linger off{1, 0};
    setsockopt(FFd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    FReset = true;
}

void FixtureConnection::HoldOpen(int MaxMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(MaxMs);
    char scratch[512];
    while (!FStopping && std::chrono::steady_clock::now() < end) {
        pollfd entry{FFd, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0)
            continue;
        const ssize_t got = recv(FFd, scratch, sizeof scratch, 0);
        if (got <= 0)
            return;
    }
}

void FixtureConnection::Tunnel(int Port)
{
    const int upstream = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(Port);
    if (upstream < 0 || connect(upstream, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        Send(HttpReply("502 Bad Gateway", "", ""));
        if (upstream >= 0)
            close(upstream);
        return;
    }
    Send("HTTP/1.0 200 Connection established\r\n\r\n");
    FixtureConnection server(upstream, FStopping);
    pollfd ends[2] = {{FFd, POLLIN, 0}, {upstream, POLLIN, 0}};
    FixtureConnection* to[2] = {&server, this};
    char buffer[16384];
    for (bool open = true; open && !FStopping;) {
        if (poll(ends, 2, 20) <= 0)
            continue;
        for (int end = 0; end < 2 && open; ++end) {
            if (ends[end].revents == 0)
                continue;
            const ssize_t got = recv(ends[end].fd, buffer, sizeof buffer, 0);
            open = got > 0 && to[end]->Send(std::string_view(buffer, static_cast<size_t>(got)));
        }
    }
    close(upstream);
}

FixtureServer::FixtureServer()
{
    FListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(0);
    if (FListener < 0 || bind(FListener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(FListener, 16) != 0)
        throw std::runtime_error("fixture server cannot listen");
    FPort = BoundPort(FListener);
    FThread = std::thread([this] { Serve(); });
}

FixtureServer::~FixtureServer()
{
    FStopping = true;
    FThread.join();
    close(FListener);
}

std::string FixtureServer::Url(const std::string& Path) const
{
    return "http://127.0.0.1:" + std::to_string(FPort) + Path;
}

void FixtureServer::Route(const std::string& Target, Action AAction)
{
    std::lock_guard<std::mutex> guard(FLock);
    FRoutes[Target] = std::move(AAction);
}

void FixtureServer::Reply(const std::string& Target, std::string Bytes)
{
    Route(Target, [Bytes = std::move(Bytes)](FixtureConnection& Connection) { Connection.Send(Bytes); });
}

std::vector<std::string> FixtureServer::Requests() const
{
    std::lock_guard<std::mutex> guard(FLock);
    return FRequests;
}

void FixtureServer::ClearRequests()
{
    std::lock_guard<std::mutex> guard(FLock);
    FRequests.clear();
}

void FixtureServer::Serve()
{
    while (!FStopping) {
        pollfd entry{FListener, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0)
            continue;
        const int fd = accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0)
            Handle(fd);
    }
}

std::string FixtureServer::ReadRequest(int Fd)
{
    std::string request;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    char scratch[4096];
    while (request.find("\r\n\r\n") == std::string::npos && !FStopping && std::chrono::steady_clock::now() < end) {
        pollfd entry{Fd, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0)
            continue;
        const ssize_t got = recv(Fd, scratch, sizeof scratch, 0);
        if (got <= 0)
            break;
        request.append(scratch, static_cast<size_t>(got));
    }
    return request;
}

void FixtureServer::Handle(int Fd)
{
    const std::string request = ReadRequest(Fd);
    const size_t first = request.find(' ');
    const size_t second = request.find(' ', first == std::string::npos ? 0 : first + 1);
    const std::string target =
        first == std::string::npos || second == std::string::npos ? "" : request.substr(first + 1, second - first - 1);
    Action action;
    {
        std::lock_guard<std::mutex> guard(FLock);
        FRequests.push_back(request);
        auto it = FRoutes.find(target);
        if (it != FRoutes.end())
            action = it->second;
    }
    FixtureConnection connection(Fd, FStopping);
    if (action)
        action(connection);
    else
        connection.Send(HttpReply("404 Not Found", "", "no route"));
    if (!connection.WasReset())
        shutdown(Fd, SHUT_WR);
    close(Fd);
}

StalledListener::StalledListener(const char* Address, int Port)
{
    FListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(Port, Address);
    if (FListener < 0 || bind(FListener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(FListener, 0) != 0)
        throw std::runtime_error("stalled listener cannot listen");
    FPort = BoundPort(FListener);
    // Fill the accept queue; further connection requests are then dropped unanswered.
    for (int i = 0; i < 3; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const sockaddr_in target = Loopback(FPort, Address);
        connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        FFillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

StalledListener::~StalledListener()
{
    for (int fd : FFillers)
        close(fd);
    close(FListener);
}

int UnusedLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(0);
    bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int port = BoundPort(fd);
    close(fd);
    return port;
}

bool WaitForListener(int Port, int MaxMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(MaxMs);
    while (std::chrono::steady_clock::now() < end) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(Port);
        const bool up = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string HttpReply(const std::string& Status, const std::string& Headers, const std::string& Body)
{
    return "HTTP/1.0 " + Status + "\r\n" + Headers + "\r\n" + Body;
}

}  // namespace nettest
