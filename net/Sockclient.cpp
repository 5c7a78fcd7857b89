// TSockClient: lifecycle, status and errors, the time-out timer and the stops of a wait.
// Name lookup and connection are in SockConnect.cpp, the transfers (SendBuffer, ReadLn,
// CaptureString) in SockTransfer.cpp.
#include "net/Sockclient.h"

#include "net/HttpLimits.h"
#include "platform/net/NetErrors.h"

#include <exception>
#include <stdexcept>

TSockClient::TSockClient(TComponent* AOwner, plat::MessagePump& APump, plat::NetServices& ANet)
    : TComponent(AOwner), FNet(ANet), FPump(APump), FBuffer(new char[net::kSockBufferBytes + 4]),
      FTimer(std::make_unique<TThreadTimer>(nullptr, FPump))
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
    if (!FTimer->GetEnabled()) {
        FTimedOut = false;
        FStop = TStop::Canceled;
    }
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
    StopWait(TStop::TimedOut);
}

void TSockClient::StopWait(TStop Why)
{
    TimerOff();
    FTimedOut = Why != TStop::TooLarge;
    FLookupDone = true;
    Abort();
    FStop = Why;
}

void TSockClient::SetDeadline(std::chrono::milliseconds Within)
{
    FDeadlineWithin = Within;
    FDeadline =
        Within.count() > 0 ? std::chrono::steady_clock::now() + Within : std::chrono::steady_clock::time_point::max();
}

std::string TSockClient::DeadlineNote() const
{
    if (FStop != TStop::PastDeadline)
        return {};
    return ": the whole request took longer than " + std::to_string(FDeadlineWithin.count()) + " ms";
}

void TSockClient::RaiseStopped(const std::string& Stage)
{
    std::string text = Stage + " aborted" + DeadlineNote();
    if (FStop == TStop::TimedOut)
        text = Stage + " timed out after " + std::to_string(TimeOut) + " ms";
    else if (FStop == TStop::TooLarge)
        text = Stage + " aborted: the body is larger than " + std::to_string(net::kMaxBodyBytes >> 20) + " MiB";
    FCanceled = false;
    FStop = TStop::Canceled;
    throw EAbortError(text);
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
    FPump.ProcessMessages();
    if (std::chrono::steady_clock::now() >= FDeadline && !FCanceled)
        StopWait(TStop::PastDeadline);
    return ready;
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
