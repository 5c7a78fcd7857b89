// TSockClient: the TCP client under the HTTP client.
//
// One stream socket at a time: Connect (name lookup through Proxy or Host, then the
// connection), Write/Writeln/SendText, ReadLn line by line, CaptureString to the end of the connection,
// StartSecure (TLS over the connection), Disconnect (which leaves a fresh socket for the next
// Connect). Every wait runs on the calling (UI) thread in short slices and processes the pending
// messages of the client's pump (MessagePump.h) between them, so window timers and input keep
// flowing; each wait stage is bounded by TimeOut through the TThreadTimer, and Cancel (for instance from a timer handler inside a wait) ends the wait in
// progress. Failures raise ESockError, a time-out or cancel of a transfer EAbortError; the text
// tells a stage's time-out ("Socket readln timed out after 5000 ms"), the overall deadline of a
// request ("...: the whole request took longer than 30000 ms") and the body's size limit apart
// from a cancel ("Socket capture aborted").
//
// Connect tries every address of the name (IPv6 and IPv4, a literal of either kind without a
// lookup) the way RFC 8305 does: in ConnectionOrder (AddressList.h), a new attempt every
// kConnectAttemptDelayMs (or at once when every attempt so far has failed) while the earlier ones
// are still pending; the first connection made wins and the others are closed.
//
// The component reads and writes only through plat::StreamSocket, so prepared bytes can stand in
// for a server (plat::MemoryNet).
#pragma once

#include "engine/Component.h"
#include "net/SockErrors.h"
#include "net/ThreadTimer.h"
#include "platform/net/MessagePump.h"
#include "platform/net/StreamSocket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TSockClient : public TComponent {
public:
    using TSockStatusEvent = std::function<void(TObject* Sender, const std::string& Text)>;
    using THandledEvent = std::function<void(TObject* Sender, bool& Handled)>;

    // Every wait pumps APump: the application object of the program that owns the client, or a
    // TimerPump where there are no windows.
    TSockClient(TComponent* AOwner, plat::MessagePump& APump, plat::NetServices& ANet = plat::SystemNet());
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
    // All of Text, however long, in as many SendBuffer stages as it takes.
    void SendText(const std::string& Text);
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
    // The address connected to (or last tried).
    const plat::NetAddress& RemoteAddress() const { return FRemoteAddress; }

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
    // Every wait from now on ends as timed out once Within has passed; 0 = never again.
    void SetDeadline(std::chrono::milliseconds Within);
    // CaptureString's stage with every piece received handed to Take, which returns whether it
    // wants more; the capture also ends with the connection.
    void Capture(const std::function<bool(std::string_view Bytes)>& Take);

    bool FLookupDone = false;

private:
    // Why a wait was ended: a Cancel, its stage's time-out, the overall deadline, the size limit.
    enum class TStop { Canceled, TimedOut, PastDeadline, TooLarge };
    struct TAttempt;

    void TimerFired();
    void StopWait(TStop Why);
    void InitWinsock();
    void OpenSocket(bool LingerOff);
    void ResolveAddresses();
    void AwaitConnection(uint16_t ToPort);
    void StartAttempt(const plat::NetAddress& Address, uint16_t ToPort, std::vector<TAttempt>& Pending);
    void PollAttempts(std::vector<TAttempt>& Pending);
    void UseConnection(std::unique_ptr<plat::StreamSocket> Socket, const plat::NetAddress& Address);
    void RaiseConnectFailure();
    // The EAbortError of a transfer stage ("Socket readln"), with why it ended.
    [[noreturn]] void RaiseStopped(const std::string& Stage);
    // ": the whole request took longer than N ms" when the deadline ended the wait, else empty.
    std::string DeadlineNote() const;
    bool LineInBuffer(int Taken, int Peeked, int& LfPos) const;
    std::string TakeLine(int Taken, int LfPos);

    plat::NetServices& FNet;
    // What the waits process between their slices.
    plat::MessagePump& FPump;
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
    TStop FStop = TStop::Canceled;
    // The name's addresses in the order they are tried, and the one connected to.
    std::vector<plat::NetAddress> FAddresses;
    plat::NetAddress FRemoteAddress;
    std::chrono::milliseconds FDeadlineWithin{0};
    std::chrono::steady_clock::time_point FDeadline = std::chrono::steady_clock::time_point::max();
};
