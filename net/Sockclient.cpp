// TSockClient: lifecycle, status and errors, the time-out timer, name lookup and connection.
// The transfers (SendBuffer, ReadLn, CaptureString) are in SockTransfer.cpp.
#include "net/Sockclient.h"

#include "engine/Form.h"
#include "net/HttpLimits.h"
#include "platform/app/Application.h"
#include "platform/net/NetErrors.h"

#include <exception>
#include <stdexcept>

namespace {

// Errors that a message-driven connect reports through its completion rather than at the start;
// Linux may report them at once on loopback, and they keep their usual meaning here.
bool IsConnectCompletionError(int Number)
{
    return Number == plat::kSockRefused || Number == plat::kSockTimedOut || Number == plat::kSockNetUnreachable ||
        Number == plat::kSockHostUnreachable || Number == plat::kSockConnReset;
}

}  // namespace

TSockClient::TSockClient(TComponent* AOwner, plat::NetServices& ANet)
    : TComponent(AOwner), FNet(ANet), FApplication(AOwner != nullptr ? ApplicationOf(AOwner) : plat::App()),
      FBuffer(new char[net::kSockBufferBytes + 4]), FTimer(std::make_unique<TThreadTimer>(nullptr, &FApplication))
{
    StatusMessage(8, "Create");
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer([this](TObject*) { TimerFired(); });
    InitWinsock();
}

TSockClient::~TSockClient()
{
    StatusMessage(8, "Destroy");
    FCanceled = true;
    FTimer.reset();
    FDestroying = true;
    FConnected = false;
    if (FSocket)
        FSocket->Close();
}

void TSockClient::InitWinsock()
{
    StatusMessage(8, "Initializing Winsock");
    // The first socket resets its connection on close; the ones that replace it do not.
    OpenSocket(true);
}

void TSockClient::OpenSocket(bool LingerOff)
{
    int error = 0;
    FSocket = FNet.NewSocket(LingerOff, error);
    if (!FSocket) {
        FLastError = error;
        throw ESockError("Initializaton of windows sockets failed");
    }
}

void TSockClient::StatusMessage(int Level, const std::string& Text)
{
    if (ReportLevel < Level)
        return;
    try {
        FStatusText = Text;
        if (OnStatus && !FDestroying)
            OnStatus(this, Text);
    } catch (const std::exception&) {
        // Status reports are informational; a failing listener must not break a transfer.
    }
}

void TSockClient::ErrorManager(int Expected, std::string& Text)
{
    FLastError = FSocket ? FSocket->LastError() : plat::kSockNotConnected;
    if (FLastError != Expected && FLastError > 10000) {
        StatusMessage(8, "Looking Up Error Message");
        Text = SocketErrorStr(FLastError);
        if (OnError)
            OnError(this, Text);
        throw ESockError(Text);
    }
    Text.clear();
}

void TSockClient::TimerOn()
{
    StatusMessage(8, "Timer On");
    if (TimeOut < 0)
        throw std::out_of_range("Range check error");
    FTimedOut = false;
    FTimer->SetInterval(static_cast<uint32_t>(TimeOut));
    FTimer->SetEnabled(true);
}

void TSockClient::TimerOff()
{
    StatusMessage(8, "Timer Off");
    FTimer->SetEnabled(false);
}

void TSockClient::TimerFired()
{
    StatusMessage(8, "Timer Triggered");
    TimerOff();
    FTimedOut = true;
    FLookupDone = true;
    Abort();
}

void TSockClient::Cancel()
{
    StatusMessage(8, "Canceling");
    FCanceled = true;
}

void TSockClient::Abort()
{
    StatusMessage(8, "Abort");
    Cancel();
}

int TSockClient::WaitSlice(int Events)
{
    const int ready = (Events != 0 && FSocket) ? FSocket->Wait(Events, net::kWaitSliceMs) : 0;
    FApplication.ProcessMessages();
    if (std::chrono::steady_clock::now() >= FDeadline)
        TimerFired();
    return ready;
}

void TSockClient::ResolveRemoteHost()
{
    StatusMessage(8, "Resolve Host");
    const std::string& name = Proxy.empty() ? Host : Proxy;
    uint32_t address = 0;
    if (plat::ParseDottedIPv4(name, address)) {
        FRemoteAddress = address;
        return;
    }
    FRemoteAddress = 0;
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
        throw ESockError("Host Lookup Timed Out");
    if (FCanceled)
        throw ESockError("Host Lookup Canceled");
    if (!completed || !FEventOk)
        throw ESockError("Host Lookup Failed");
    FRemoteAddress = lookup->Address();
    if (OnHostResolved)
        OnHostResolved(this);
}

void TSockClient::Connect()
{
    StatusMessage(8, "Connecting");
    FCanceled = false;
    if (FConnected)
        throw ESockError("Already connected");
    bool askedHandler = false;
    for (;;) {
        try {
            ResolveRemoteHost();
        } catch (const ESockError& error) {
            const std::string text = error.what();
            if (text == "Host Lookup Timed Out" || text == "Host Lookup Canceled")
                throw;
        }
        if (FRemoteAddress != 0)
            break;
        bool handled = false;
        if (!askedHandler && OnInvalidHost) {
            askedHandler = true;
            OnInvalidHost(this, handled);
        }
        if (!handled)
            throw ESockError("Null Remote Address");
    }
    if (!FSocket)
        OpenSocket(false);
    const int32_t port = Proxy.empty() ? Port : ProxyPort;
    FLookupDone = false;
    FEventOk = true;
    const int started = FSocket->StartConnect(FRemoteAddress, static_cast<uint16_t>(port));
    if (started == 0) {
        FConnected = true;
        if (OnConnect)
            OnConnect(this);
    } else if (IsConnectCompletionError(started)) {
        FLastError = started;
        FEventOk = false;
    } else if (started != plat::kSockWouldBlock) {
        std::string text;
        ErrorManager(plat::kSockWouldBlock, text);
    }
    AwaitConnection();
}

void TSockClient::AwaitConnection()
{
    TimerOn();
    while (!FConnected && !FTimedOut && !FCanceled && FEventOk) {
        if (FSocket->Wait(plat::StreamSocket::kWritable, net::kWaitSliceMs) != 0) {
            const int result = FSocket->ConnectResult();
            if (result == 0) {
                FConnected = true;
                if (OnConnect)
                    OnConnect(this);
            } else {
                FLastError = result;
                FEventOk = false;
            }
        }
        WaitSlice(0);
    }
    TimerOff();
    if (!FTimedOut && !FCanceled && FEventOk)
        return;
    RaiseConnectFailure();
}

void TSockClient::RaiseConnectFailure()
{
    if (OnConnectionFailed)
        OnConnectionFailed(this);
    if (FTimedOut)
        throw ESockError("Connection Timed out");
    if (FCanceled)
        throw ESockError("Connection Canceled");
    throw ESockError("Connection Failed");
}

void TSockClient::Disconnect()
{
    StatusMessage(8, "Disconnecting");
    RequestCloseSocket();
}

void TSockClient::RequestCloseSocket()
{
    StatusMessage(4, "Request Close Socket");
    FConnected = false;
    if (!FSocket)
        return;
    const int closed = FSocket->Close();
    FSocket.reset();
    if (closed != 0) {
        FLastError = closed;
        throw ESockError(SocketErrorStr(closed));
    }
    if (FDestroying)
        return;
    if (OnDisconnect)
        OnDisconnect(this);
    // The next Connect opens a socket itself if this one cannot be had now.
    int error = 0;
    FSocket = FNet.NewSocket(false, error);
    if (!FSocket)
        FLastError = error;
}
