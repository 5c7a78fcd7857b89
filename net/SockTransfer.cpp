// TSockClient's transfers: sending, reading a line, capturing to the end of the connection.
//
// Each transfer is one wait stage: the time-out timer runs from its start, and a time-out or
// Cancel ends it with its EAbortError. When the socket has nothing to give, the wait blocks for
// one short slice and then processes the application's messages, so the UI thread is never held
// for longer than a slice.
#include "net/HttpLimits.h"
#include "net/Sockclient.h"
#include "platform/net/NetErrors.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// Keeps the time-out timer running for exactly the lifetime of one transfer, exceptions included.
class TimerStage {
public:
    explicit TimerStage(TSockClient& AClient) : FClient(AClient) { FClient.TimerOn(); }
    ~TimerStage() { FClient.TimerOff(); }
    TimerStage(const TimerStage&) = delete;
    TimerStage& operator=(const TimerStage&) = delete;

private:
    TSockClient& FClient;
};

}  // namespace

void TSockClient::SendBuffer(const char* Bytes, uint16_t Length)
{
    StatusMessage(4, "Sending Buffer");
    TimerStage stage(*this);
    if (!FCanceled) {
        size_t remaining = Length;
        if (remaining == 0) {
            remaining = std::strlen(Bytes);
            if (remaining > 65535)
                throw std::out_of_range("Range check error");
        }
        while (remaining > 0 && !FCanceled) {
            const int sent = FSocket ? FSocket->Send(Bytes, static_cast<int>(remaining)) : -1;
            if (sent == 0)
                break;
            if (sent > 0) {
                Bytes += sent;
                remaining -= static_cast<size_t>(sent);
                continue;
            }
            std::string text;
            ErrorManager(plat::kSockWouldBlock, text);
            // A full send queue is waited out like any other wait, with messages flowing.
            WaitSlice(plat::StreamSocket::kWritable);
        }
    }
    if (FCanceled)
        RaiseStopped("Socket send");
}

void TSockClient::SendText(const std::string& Text)
{
    constexpr size_t kPiece = 65535;  // the most one SendBuffer takes
    for (size_t at = 0; at < Text.size(); at += kPiece)
        SendBuffer(Text.data() + at, static_cast<uint16_t>(std::min(kPiece, Text.size() - at)));
}

void TSockClient::Write(const std::string& Text)
{
    StatusMessage(8, "Write");
    const size_t length = std::min(Text.size(), static_cast<size_t>(net::kSockWriteBytes));
    std::memcpy(FBuffer.get(), Text.data(), length);
    FBuffer[length] = '\0';
    SendBuffer(FBuffer.get(), 0);
}

void TSockClient::Writeln(const std::string& Text)
{
    StatusMessage(8, "Writeln");
    Write(Text + "\r\n");
}

bool TSockClient::LineInBuffer(int Taken, int Peeked, int& LfPos) const
{
    const void* lf = std::memchr(FBuffer.get() + Taken, '\n', static_cast<size_t>(Peeked));
    if (!lf)
        return false;
    LfPos = static_cast<int>(static_cast<const char*>(lf) - FBuffer.get());
    return true;
}

std::string TSockClient::TakeLine(int Taken, int LfPos)
{
    // Only the bytes up to the LF leave the socket; what follows stays for the next read.
    int taken = Taken;
    while (taken <= LfPos) {
        const int got = FSocket->Receive(FBuffer.get() + taken, LfPos + 1 - taken, false);
        if (got == 0)
            return {};
        if (got < 0) {
            std::string text;
            ErrorManager(plat::kSockWouldBlock, text);
            WaitSlice(plat::StreamSocket::kReadable);
            continue;
        }
        taken += got;
    }
    return std::string(FBuffer.get(), static_cast<size_t>(LfPos) + 1);
}

std::string TSockClient::ReadLn()
{
    StatusMessage(8, "ReadLn");
    TimerStage stage(*this);
    int taken = 0;
    int lfPos = -1;
    // A line longer than the buffer comes back in buffer-sized pieces, the last with the LF.
    while (taken < net::kSockBufferBytes) {
        if (!FSocket)
            return {};
        const int peeked = FSocket->Receive(FBuffer.get() + taken, net::kSockBufferBytes - taken, true);
        if (peeked == 0)
            return {};
        int waitFor = 0;
        if (peeked > 0) {
            if (LineInBuffer(taken, peeked, lfPos))
                break;
            const int got = FSocket->Receive(FBuffer.get() + taken, peeked, false);
            taken += got > 0 ? got : 0;
        } else {
            FLastError = FSocket->LastError();
            if (FLastError == plat::kSockNotConnected)
                return {};
            std::string text;
            ErrorManager(plat::kSockWouldBlock, text);
            waitFor = plat::StreamSocket::kReadable;
        }
        WaitSlice(waitFor);
        if (FCanceled)
            break;
    }
    if (FCanceled)
        RaiseStopped("Socket readln");
    if (lfPos < 0)
        return std::string(FBuffer.get(), static_cast<size_t>(taken));
    return TakeLine(taken, lfPos);
}

void TSockClient::CaptureString(std::string& Text, int32_t Limit)
{
    StatusMessage(8, "Capture String");
    Text.clear();
    if (Limit == 0)
        return;
    Capture([&](std::string_view Bytes) {
        Text.append(Bytes);
        return Limit < 0 || Text.size() < static_cast<size_t>(Limit);
    });
}

void TSockClient::Capture(const std::function<bool(std::string_view Bytes)>& Take)
{
    FBytesReceived = 0;
    TimerStage stage(*this);
    bool more = true;
    while (!FCanceled && more) {
        const int got = FSocket ? FSocket->Receive(FBuffer.get(), net::kSockBufferBytes, false) : -1;
        if (got == 0)
            break;
        int waitFor = 0;
        if (got > 0) {
            if (static_cast<size_t>(FBytesReceived) + static_cast<size_t>(got) > net::kMaxBodyBytes) {
                StopWait(TStop::TooLarge);
                break;
            }
            FBytesReceived += got;
            more = Take(std::string_view(FBuffer.get(), static_cast<size_t>(got)));
            if (OnPacketRecvd)
                OnPacketRecvd(this);
            TimerOn();
        } else {
            FLastError = FSocket ? FSocket->LastError() : plat::kSockNotConnected;
            if (FLastError == plat::kSockNotConnected)
                break;
            std::string text;
            ErrorManager(plat::kSockWouldBlock, text);
            waitFor = plat::StreamSocket::kReadable;
        }
        if (more)
            WaitSlice(waitFor);
    }
    if (FCanceled)
        RaiseStopped("Socket capture");
}
