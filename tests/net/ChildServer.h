// Debian's own servers (nginx, tinyproxy) started by a test as its child process, on a free
// loopback port with a configuration in a private temporary directory, and stopped with it.
#pragma once

#include "tests/TempFolder.h"

#include <string>
#include <vector>

// Skips the test (inside a gtest body) when a server program is not installed.
#define SKIP_WITHOUT(program)                                                                                          \
    if (!nettest::ChildServer::Installed(program))                                                                     \
    GTEST_SKIP() << program << " is not installed"

namespace nettest {

class ChildServer {
public:
    // Starts Program with Args once the caller has written its configuration into Dir();
    // Started() tells whether it listens on Port() within a few seconds.
    ChildServer();
    ~ChildServer();
    ChildServer(const ChildServer&) = delete;
    ChildServer& operator=(const ChildServer&) = delete;

    static bool Installed(const std::string& Program);

    const std::string& Dir() const { return FDir; }
    int Port() const { return FPort; }
    void WriteFile(const std::string& Name, const std::string& Content) const;
    bool Start(const std::string& Program, const std::vector<std::string>& Args);
    // The server's own log, for a failure message.
    std::string ReadFile(const std::string& Name) const;

private:
    TTempFolder FFolder{"net"};
    std::string FDir;
    int FPort = 0;
    int FPid = -1;
};

inline constexpr const char* kNginx = "/usr/sbin/nginx";
// Debian's nginx with the given server blocks, everything it writes kept in the server's
// directory; the first block must listen on the server's port.
bool StartNginx(ChildServer& Server, const std::string& ServerBlocks);

inline constexpr const char* kTinyproxy = "/usr/bin/tinyproxy";
// Debian's tinyproxy on the server's port, for loopback clients only.
bool StartTinyproxy(ChildServer& Proxy);

inline constexpr const char* kSquid = "/usr/sbin/squid";
// Debian's squid in the foreground on the server's port, caching nothing, for loopback clients
// only (and to loopback servers, which its default configuration refuses).
bool StartSquid(ChildServer& Proxy);

inline constexpr const char* kPython = "/usr/bin/python3";
// A TLS server (tests/net/tls_no_goodbye.py) that answers every request with Reply and closes
// without a TLS close_notify; its certificate, for "localhost", is signed by a test CA made in
// the server's directory (ca.pem there).
bool StartTlsWithoutGoodbye(ChildServer& Server, const std::string& Reply);

}  // namespace nettest
