// TSockClient: the TCP client under the HTTP client.
//
// One stream socket at a time: Connect (name lookup through Proxy or Host, then the
// connection), Write/Writeln, ReadLn line by line, CaptureString to the end of the connection,
// StartSecure (TLS over the connection), Disconnect (which leaves a fresh socket for the next
// Connect). Every wait runs on the calling (UI) thread in short slices and processes the pending
// messages of its form's application between them, so window timers and input keep flowing; each wait stage is bounded by TimeOut through the
// TThreadTimer, and Cancel (for instance from a timer handler inside a wait) ends the wait in
// progress. Failures raise ESockError, a time-out or cancel of a transfer EAbortError.
//
// The component reads and writes only through plat::StreamSocket, so prepared bytes can stand in
// for a server (plat::MemoryNet).
#pragma once

#include "engine/Component.h"
#include "net/SockErrors.h"
#include "net/ThreadTimer.h"
#include "platform/net/StreamSocket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace plat {
class Application;
}

class TSockClient : public TComponent {
public:
    using TSockStatusEvent = std::function<void(TObject* Sender, const std::string& Text)>;
    using THandledEvent = std::function<void(TObject* Sender, bool& Handled)>;

    explicit TSockClient(TComponent* AOwner, plat::NetServices& ANet = plat::SystemNet());
    ~TSockClient() override;
    const char* ClassName() const override { return "TSockClient"; }

    std::string Host;
    int32_t Port = 0;
    int32_t TimeOut = 0;  // ms per wait stage; 0 = none
    int32_t ReportLevel = 0;
    std::string Proxy;
    int32_t ProxyPort = 0;

    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyEvent OnConnectionFailed;
    THandledEvent OnInvalidHost;
    TNotifyEvent OnHostResolved;
    TSockStatusEvent OnStatus;
    TSockStatusEvent OnError;
    TNotifyEvent OnPacketRecvd;

    virtual void Connect();
    // Turns the connection just made into a TLS one with HostName's server (SNI, certificate
    // and name checked). A failed or timed-out handshake raises ESockError with its reason.
    void StartSecure(const std::string& HostName);
    virtual void Disconnect();
    virtual void Abort();
    void Cancel();

    void SendBuffer(const char* Bytes, uint16_t Length);
    void Write(const std::string& Text);
    void Writeln(const std::string& Text);
    std::string ReadLn();
    void CaptureString(std::string& Text, int32_t Limit);
    void RequestCloseSocket();

    void TimerOn();
    void TimerOff();

    bool Connected() const { return FConnected; }
    bool Canceled() const { return FCanceled; }
    bool TimedOut() const { return FTimedOut; }
    int GetLastErrorNo() const { return FLastError; }
    const std::string& StatusText() const { return FStatusText; }
    int32_t BytesReceived() const { return FBytesReceived; }
    uint32_t RemoteAddress() const { return FRemoteAddress; }

    static std::string SocketErrorStr(int Number);
    static std::string NthWord(const std::string& Text, char Separator, int N);
    static int NthPos(const std::string& Text, char Ch, int N);

protected:
    void StatusMessage(int Level, const std::string& Text);
    void ErrorManager(int Expected, std::string& Text);
    void ResolveRemoteHost();
    // One slice of a wait: block until the socket has one of Events or the slice ends, process
    // the pending messages, and apply the overall deadline. Returns the events that hold.
    int WaitSlice(int Events);
    // Every wait from now on ends as timed out once At has passed (time_point::max() = never).
    void SetDeadline(std::chrono::steady_clock::time_point At) { FDeadline = At; }

    bool FLookupDone = false;

private:
    void TimerFired();
    void InitWinsock();
    void OpenSocket(bool LingerOff);
    void AwaitConnection();
    void RaiseConnectFailure();
    bool LineInBuffer(int Taken, int Peeked, int& LfPos) const;
    std::string TakeLine(int Taken, int LfPos);

    plat::NetServices& FNet;
    // The application whose messages the waits process: that of the owning form (ApplicationOf);
    // a client outside any form pumps the process's (plat::App()).
    plat::Application& FApplication;
    std::unique_ptr<plat::StreamSocket> FSocket;
    std::unique_ptr<char[]> FBuffer;
    std::unique_ptr<TThreadTimer> FTimer;
    int FLastError = 0;
    std::string FStatusText;
    bool FEventOk = false;
    bool FTimedOut = false;
    bool FCanceled = false;
    bool FDestroying = false;
    bool FConnected = false;
    int32_t FBytesReceived = 0;
    uint32_t FRemoteAddress = 0;
    std::chrono::steady_clock::time_point FDeadline = std::chrono::steady_clock::time_point::max();
};
