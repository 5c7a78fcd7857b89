// A TLS stream over a connected plain stream: the https side of the socket client.
//
// The caller drives the handshake step by step (Handshake) and waits for the events it asks for
// between steps, so the handshake runs in the same message-pumping wait slices and under the same
// time-outs as every other wait. Once the handshake is done the object is an ordinary
// StreamSocket: Send and Receive carry plain text, Receive with Peek is served from bytes already
// decrypted, and Wait counts those bytes as readable. The peer's certificate is verified against
// the system's store (SSL_CERT_FILE and SSL_CERT_DIR replace it), the host name is sent (SNI) and
// checked, and nothing older than TLS 1.2 is accepted.
#pragma once

#include "platform/net/StreamSocket.h"

#include <memory>
#include <string>

namespace plat {

class SecureStream : public StreamSocket {
public:
    // One handshake step: 0 when the handshake is done, kSockWouldBlock while it waits for the
    // events of HandshakeWaitsFor, any other number when it failed (the reason in FailureText).
    virtual int Handshake() = 0;
    virtual int HandshakeWaitsFor() const = 0;
    // Why the handshake failed, as the user is shown it ("Certificate verify failed: ...").
    virtual std::string FailureText() const = 0;
};

// Wraps Plain, already connected to HostName's server. Null with Error set when TLS cannot be
// set up at all (no library context).
std::unique_ptr<SecureStream> NewSecureStream(std::unique_ptr<StreamSocket> Plain, const std::string& HostName,
                                              std::string& Error);

}  // namespace plat
