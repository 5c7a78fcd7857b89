// Sockets over prepared bytes, for tests and fuzzers of the line reader and header parser.
//
// A MemoryStream serves its reply in pieces: a piece "arrives" only after a read has found
// nothing waiting (that read reports kSockWouldBlock), so the readers' wait-and-retry paths run
// as they do on a slow network. After the last piece the stream reports the peer's close.
// MemoryNet hands out one stream per socket the client creates, in order, records what each was
// sent, and resolves every name at once to 127.0.0.1.
#pragma once

#include "platform/net/StreamSocket.h"

#include <deque>
#include <string>
#include <vector>

namespace plat {

class MemoryStream final : public StreamSocket {
public:
    MemoryStream(std::vector<std::string> Pieces, std::string& SentLog);

    int StartConnect(const NetAddress& Address, uint16_t Port) override;
    int ConnectResult() override { return 0; }
    int Send(const char* Data, int Length) override;
    int Receive(char* Data, int Length, bool Peek) override;
    int LastError() const override { return FLastError; }
    int Wait(int Events, int Ms) override
    {
        (void)Ms;
        return Events;
    }
    int Close() override;

private:
    std::deque<std::string> FPieces;
    std::string FArrived;  // bytes that have arrived and are not yet taken
    std::string& FSentLog;
    bool FClosed = false;
    int FLastError = 0;
};

class MemoryNet final : public NetServices {
public:
    // The reply the next created socket serves, split into pieces.
    void AddReply(std::vector<std::string> Pieces) { FReplies.push_back(std::move(Pieces)); }

    std::unique_ptr<StreamSocket> NewSocket(bool LingerOff, int& Error) override;
    Resolver& GetResolver() override;

    // What each created socket was sent, in creation order.
    const std::deque<std::string>& Sent() const { return FSent; }

private:
    std::deque<std::vector<std::string>> FReplies;
    std::deque<std::string> FSent;  // a deque keeps the streams' references valid
};

}  // namespace plat
