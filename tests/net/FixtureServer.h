// A programmable HTTP server on loopback for the network tests, on a thread of its own.
//
// Each route answers one request target (the second field of the request line: a path, or a
// whole address when the client talks to it as a proxy) with an action that writes whatever
// bytes the case needs: well-formed replies, slow or endless ones, a close in mid-header, a
// reset. Connections are served one after another; every request text is recorded.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace nettest {

class FixtureConnection {
public:
    FixtureConnection(int Fd, const std::atomic<bool>& Stopping) : FFd(Fd), FStopping(Stopping) {}

    // False once the client is gone or the server stops.
    bool Send(std::string_view Bytes);
    // Sends in pieces of Chunk bytes with DelayMs between them.
    bool SendSlowly(std::string_view Bytes, size_t Chunk, int DelayMs);
    // Ends the connection with a reset instead of an orderly close.
    void Reset();
    // Keeps the connection open until the client closes it, the server stops or MaxMs pass.
    void HoldOpen(int MaxMs);
    // Answers a CONNECT as a proxy would, with the tunnel going to 127.0.0.1:Port whatever host
    // was asked for, and carries bytes both ways until one side closes.
    void Tunnel(int Port);
    bool Stopping() const { return FStopping; }
    bool WasReset() const { return FReset; }

private:
    int FFd;
    const std::atomic<bool>& FStopping;
    bool FReset = false;
};

class FixtureServer {
public:
    using Action = std::function<void(FixtureConnection&)>;

    FixtureServer();
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    int Port() const { return FPort; }
    // "http://127.0.0.1:<port>" + Path.
    std::string Url(const std::string& Path) const;
    // Register routes before the client asks for them.
    void Route(const std::string& Target, Action AAction);
    // A route that answers with fixed bytes and closes.
    void Reply(const std::string& Target, std::string Bytes);
    std::vector<std::string> Requests() const;
    void ClearRequests();

private:
    void Serve();
    void Handle(int Fd);
    std::string ReadRequest(int Fd);

    int FListener = -1;
    int FPort = 0;
    std::atomic<bool> FStopping{false};
    mutable std::mutex FLock;
    std::map<std::string, Action> FRoutes;
    std::vector<std::string> FRequests;
    std::thread FThread;
};

// A loopback listener that never accepts, with its queue already full: a connect to it stays
// pending until the client gives up.
class StalledListener {
public:
    // On 127.0.0.1 and a free port, or on the loopback address Address and Port.
    StalledListener(const char* Address = "127.0.0.1", int Port = 0);
    ~StalledListener();
    StalledListener(const StalledListener&) = delete;
    StalledListener& operator=(const StalledListener&) = delete;
    int Port() const { return FPort; }

private:
    int FListener = -1;
    int FPort = 0;
    std::vector<int> FFillers;
};

// A loopback port that nothing listens on (taken from the system and released again).
int UnusedLoopbackPort();
// True when a connection to 127.0.0.1:Port is accepted within MaxMs.
bool WaitForListener(int Port, int MaxMs);

// A complete HTTP/1.0 reply with the given status line tail ("200 OK"), extra header lines
// (each ending in CR LF) and body.
std::string HttpReply(const std::string& Status, const std::string& Headers, const std::string& Body);

}  // namespace nettest
