// TSockClient's TLS: the handshake over the connection just made, as one more wait stage of
// connecting, with the same slices, message processing and time-out as the connect itself.
#include "net/Sockclient.h"

#include "platform/net/NetErrors.h"
#include "platform/net/SecureStream.h"

void TSockClient::StartSecure(const std::string& HostName)
{
    StatusMessage(8, "Secure Handshake");
    std::string error;
    std::unique_ptr<plat::SecureStream> secure = plat::NewSecureStream(std::move(FSocket), HostName, error);
    if (!secure)
        throw ESockError(error);
    plat::SecureStream& stream = *secure;
    FSocket = std::move(secure);
    TimerOn();
    int step = stream.Handshake();
    while (step == plat::kSockWouldBlock && !FTimedOut && !FCanceled) {
        WaitSlice(stream.HandshakeWaitsFor());
        step = stream.Handshake();
    }
    TimerOff();
    if (step == 0)
        return;
    FLastError = step;
    if (FTimedOut)
        throw ESockError("TLS Handshake Timed out" + DeadlineNote());
    if (FCanceled)
        throw ESockError("TLS Handshake Canceled");
    throw ESockError(stream.FailureText());
}
