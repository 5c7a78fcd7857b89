// TSockClient's name lookup and connection: every address of the name, raced as RFC 8305 has it.
#include "net/AddressList.h"
#include "net/HttpLimits.h"
#include "net/RequestAddress.h"
#include "net/Sockclient.h"
#include "platform/net/NetErrors.h"

namespace {

// Errors that a message-driven connect reports through its completion rather than at the start;
// Linux may report them at once on loopback, and they keep their usual meaning here.
bool IsConnectCompletionError(int Number)
{
    return Number == plat::kSockRefused || Number == plat::kSockTimedOut || Number == plat::kSockNetUnreachable ||
        Number == plat::kSockHostUnreachable || Number == plat::kSockConnReset;
}

}  // namespace

struct TSockClient::TAttempt {
    std::unique_ptr<plat::StreamSocket> Socket;
    plat::NetAddress Address;
};

// A literal address (IPv4, or IPv6 with or without brackets) needs no lookup; a name's addresses
// come in ConnectionOrder. None found leaves FAddresses empty.
void TSockClient::ResolveRemoteHost()
{
    StatusMessage(8, "Resolve Host");
    const std::string name(WithoutBrackets(Proxy.empty() ? Host : Proxy));
    FAddresses.clear();
    plat::NetAddress literal;
    if (plat::ParseNumericAddress(name, literal)) {
        FAddresses = ConnectionOrder({literal});
        return;
    }
    TimerOn();
    FLookupDone = false;
    std::unique_ptr<plat::NameLookup> lookup = FNet.GetResolver().StartLookup(name);
    bool completed = false;
    while (!FLookupDone && !FTimedOut && !FCanceled) {
        if (lookup->WaitDone(net::kWaitSliceMs)) {
            completed = true;
            FEventOk = lookup->Error() == 0;
            FLookupDone = true;
        }
        WaitSlice(0);
    }
    TimerOff();
    if (FTimedOut)
        throw ESockError("Host Lookup Timed Out" + DeadlineNote());
    if (FCanceled)
        throw ESockError("Host Lookup Canceled");
    if (!completed || !FEventOk)
        throw ESockError("Host Lookup Failed");
    FAddresses = ConnectionOrder(lookup->Addresses());
    if (OnHostResolved)
        OnHostResolved(this);
}

// A lookup that times out or is canceled ends the connect; one that fails gets one more try when
// OnInvalidHost says so, and is "Null Remote Address" after that.
void TSockClient::ResolveAddresses()
{
    bool askedHandler = false;
    for (;;) {
        try {
            ResolveRemoteHost();
        } catch (const ESockError&) {
            if (FTimedOut || FCanceled)
                throw;
        }
        if (!FAddresses.empty())
            return;
        bool handled = false;
        if (!askedHandler && OnInvalidHost) {
            askedHandler = true;
            OnInvalidHost(this, handled);
        }
        if (!handled)
            throw ESockError("Null Remote Address");
    }
}

void TSockClient::Connect()
{
    StatusMessage(8, "Connecting");
    FCanceled = false;
    if (FConnected)
        throw ESockError("Already connected");
    ResolveAddresses();
    if (!FSocket)
        OpenSocket(false);
    const int32_t port = Proxy.empty() ? Port : ProxyPort;
    FLookupDone = false;
    FLastError = 0;
    AwaitConnection(static_cast<uint16_t>(port));
}

// One attempt per address, the next one kConnectAttemptDelayMs after the last (at once when
// none is pending any more), until one connects, all have failed, or the stage ends.
void TSockClient::AwaitConnection(uint16_t ToPort)
{
    const auto delay = std::chrono::milliseconds(net::kConnectAttemptDelayMs);
    std::vector<TAttempt> pending;
    size_t next = 0;
    auto nextStart = std::chrono::steady_clock::now();
    TimerOn();
    while (!FConnected && !FTimedOut && !FCanceled) {
        const auto now = std::chrono::steady_clock::now();
        if (next < FAddresses.size() && (pending.empty() || now >= nextStart)) {
            StartAttempt(FAddresses[next++], ToPort, pending);
            nextStart = now + delay;
            continue;
        }
        if (pending.empty())
            break;
        PollAttempts(pending);
        WaitSlice(0);
    }
    TimerOff();
    if (FConnected)
        return;
    RaiseConnectFailure();
}

void TSockClient::StartAttempt(const plat::NetAddress& Address, uint16_t ToPort, std::vector<TAttempt>& Pending)
{
    FRemoteAddress = Address;
    int error = 0;
    // The first attempt takes the client's own socket (its close resets the connection).
    std::unique_ptr<plat::StreamSocket> socket = FSocket ? std::move(FSocket) : FNet.NewSocket(false, error);
    if (!socket) {
        FLastError = error;
        return;
    }
    const int started = socket->StartConnect(Address, ToPort);
    if (started == 0)
        UseConnection(std::move(socket), Address);
    else if (started == plat::kSockWouldBlock)
        Pending.push_back({std::move(socket), Address});
    else
        FLastError = started;
}

// Blocks one slice on the oldest attempt and looks at the others in passing.
void TSockClient::PollAttempts(std::vector<TAttempt>& Pending)
{
    for (size_t i = 0; i < Pending.size() && !FConnected;) {
        TAttempt& attempt = Pending[i];
        if (attempt.Socket->Wait(plat::StreamSocket::kWritable, i == 0 ? net::kWaitSliceMs : 0) == 0) {
            ++i;
            continue;
        }
        const int result = attempt.Socket->ConnectResult();
        if (result == 0)
            UseConnection(std::move(attempt.Socket), attempt.Address);
        else
            FLastError = result;
        Pending.erase(Pending.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TSockClient::UseConnection(std::unique_ptr<plat::StreamSocket> Socket, const plat::NetAddress& Address)
{
    FSocket = std::move(Socket);
    FRemoteAddress = Address;
    FConnected = true;
    if (OnConnect)
        OnConnect(this);
}

void TSockClient::RaiseConnectFailure()
{
    if (OnConnectionFailed)
        OnConnectionFailed(this);
    if (FTimedOut)
        throw ESockError("Connection Timed out" + DeadlineNote());
    if (FCanceled)
        throw ESockError("Connection Canceled");
    // Refused, unreachable: the connection failed; anything else says what went wrong.
    if (FLastError == 0 || IsConnectCompletionError(FLastError))
        throw ESockError("Connection Failed");
    throw ESockError(SocketErrorStr(FLastError));
}
