// A non-blocking TCP stream socket, the name lookup, and the services that create them.
//
// The socket client is written against these interfaces only: the Linux backends sit in
// PosixStreamSocket.cpp and ThreadResolver.cpp, and a memory-backed socket (MemoryStream.h)
// feeds prepared bytes to tests and fuzzers. Every failing call reports an error number of
// NetErrors.h through LastError (never errno). Addresses are IPv4 or IPv6 (NetAddress.h).
#pragma once

#include "platform/net/NetAddress.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class StreamSocket {
public:
    enum WaitFor { kReadable = 1, kWritable = 2 };

    virtual ~StreamSocket() = default;

    // Starts connecting (a socket of Address's family takes the place of the one there was): 0
    // when connected at once, kSockWouldBlock while the connection is being made, any other error
    // number when it cannot start.
    virtual int StartConnect(const NetAddress& Address, uint16_t Port) = 0;
    // After a pending connect has become writable: 0 when connected, else its error number.
    virtual int ConnectResult() = 0;
    // Byte counts; -1 with LastError set on failure (kSockWouldBlock when nothing is ready).
    // Receive returns 0 once the peer has closed. Length must be positive.
    virtual int Send(const char* Data, int Length) = 0;
    virtual int Receive(char* Data, int Length, bool Peek) = 0;
    virtual int LastError() const = 0;
    // Waits at most Ms milliseconds until one of the WaitFor events (or an error or hang-up,
    // which count as ready) holds; returns the events that hold, 0 when the time ran out.
    virtual int Wait(int Events, int Ms) = 0;
    // Closes the socket; 0 or an error number. Later calls fail with kSockNotConnected.
    virtual int Close() = 0;
};

// One pending name lookup. Cancelling is dropping it: a lookup still running in the
// background then finishes unobserved.
class NameLookup {
public:
    virtual ~NameLookup() = default;
    // Waits at most Ms milliseconds for the result; true once it is there.
    virtual bool WaitDone(int Ms) = 0;
    // Valid once done: 0 and the name's addresses, IPv6 and IPv4, in the system's order of
    // preference (at most kMaxLookupAddresses, none twice), or a lookup error number (11001, ...).
    virtual int Error() const = 0;
    virtual std::vector<NetAddress> Addresses() const = 0;
};

// The most addresses a lookup gives: more than a connect's time-out can try.
inline constexpr size_t kMaxLookupAddresses = 32;

class Resolver {
public:
    virtual ~Resolver() = default;
    virtual std::unique_ptr<NameLookup> StartLookup(const std::string& HostName) = 0;
};

class NetServices {
public:
    virtual ~NetServices() = default;
    // A new unconnected socket, or null with the error number in Error. LingerOff makes its
    // close reset the connection at once instead of draining unsent data.
    virtual std::unique_ptr<StreamSocket> NewSocket(bool LingerOff, int& Error) = 0;
    virtual Resolver& GetResolver() = 0;
};

// The process's real sockets and system resolver.
NetServices& SystemNet();
Resolver& SystemResolver();

}  // namespace plat
