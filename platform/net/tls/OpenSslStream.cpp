// The TLS stream through OpenSSL 3. The library reads and writes the plain stream through a BIO
// of our own, so any StreamSocket (the POSIX one, or a memory one) can carry TLS, and "would
// block" of the plain stream becomes the library's retry.
#include "platform/net/NetErrors.h"
#include "platform/net/TlsModule.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// What the BIO reads and writes, and whether the peer has closed it: the library asks BIO_eof
// after a read of nothing, and only a BIO at its end lets SSL_OP_IGNORE_UNEXPECTED_EOF take a
// close without a TLS goodbye for the end of the data.
struct PlainEnd {
    StreamSocket* Socket = nullptr;
    bool Ended = false;
};

PlainEnd& PlainOf(BIO* Bio)
{
    return *static_cast<PlainEnd*>(BIO_get_data(Bio));
}

int PlainWrite(BIO* Bio, const char* Data, int Length)
{
    BIO_clear_retry_flags(Bio);
    StreamSocket& plain = *PlainOf(Bio).Socket;
    const int sent = plain.Send(Data, Length);
    if (sent < 0 && plain.LastError() == kSockWouldBlock)
        BIO_set_retry_write(Bio);
    return sent;
}

int PlainRead(BIO* Bio, char* Data, int Length)
{
    BIO_clear_retry_flags(Bio);
    PlainEnd& end = PlainOf(Bio);
    const int got = end.Socket->Receive(Data, Length, false);
    if (got < 0 && end.Socket->LastError() == kSockWouldBlock)
        BIO_set_retry_read(Bio);
    if (got == 0)
        end.Ended = true;
    return got;
}

long PlainCtrl(BIO* Bio, int Command, long, void*)
{
    if (Command == BIO_CTRL_EOF)
        return PlainOf(Bio).Ended ? 1 : 0;
    return Command == BIO_CTRL_FLUSH ? 1 : 0;
}

BIO_METHOD* PlainMethod()
{
    static BIO_METHOD* method = [] {
        BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "solvane stream");
        BIO_meth_set_write(made, PlainWrite);
        BIO_meth_set_read(made, PlainRead);
        BIO_meth_set_ctrl(made, PlainCtrl);
        return made;
    }();
    return method;
}

// The library's first queued reason, or Fallback when it queued none.
std::string LibraryReason(const char* Fallback)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
    return reason ? reason : Fallback;
}

SSL_CTX* NewContext()
{
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (!context)
        return nullptr;
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(context);
    // HTTP/1.0 replies end with the connection; servers that close without a TLS goodbye are
    // common, and the reply's end is the connection's end either way.
    SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    return context;
}

class OpenSslStream final : public SecureStream {
public:
    OpenSslStream(std::unique_ptr<StreamSocket> Plain, SSL_CTX* Context)
        : FPlain(std::move(Plain)), FContext(Context), FSsl(SSL_new(Context))
    {}
    ~OpenSslStream() override
    {
        SSL_free(FSsl);
        SSL_CTX_free(FContext);
    }

    bool Setup(const std::string& HostName)
    {
        if (!FSsl)
            return false;
        BIO* bio = BIO_new(PlainMethod());
        if (!bio)
            return false;
        FEnd.Socket = FPlain.get();
        BIO_set_data(bio, &FEnd);
        BIO_set_init(bio, 1);
        SSL_set_bio(FSsl, bio, bio);
        SSL_set_connect_state(FSsl);
        // SNI and the name check take host names only; an address is checked as an address.
        ASN1_OCTET_STRING* ip = a2i_IPADDRESS(HostName.c_str());
        if (ip) {
            ASN1_OCTET_STRING_free(ip);
            return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(FSsl), HostName.c_str()) == 1;
        }
        return SSL_set_tlsext_host_name(FSsl, HostName.c_str()) == 1 && SSL_set1_host(FSsl, HostName.c_str()) == 1;
    }

    int Handshake() override
    {
        ERR_clear_error();
        const int done = SSL_do_handshake(FSsl);
        if (done == 1)
            return 0;
        const int error = SSL_get_error(FSsl, done);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            FWaitsFor = error == SSL_ERROR_WANT_READ ? kReadable : kWritable;
            return kSockWouldBlock;
        }
        FFailure = HandshakeFailure(error);
        return Fail(kSockSecureFailed);
    }

    int HandshakeWaitsFor() const override { return FWaitsFor; }
    std::string FailureText() const override { return FFailure; }

    int StartConnect(const NetAddress&, uint16_t) override { return Fail(kSockNotConnected); }
    int ConnectResult() override { return 0; }

    int Send(const char* Data, int Length) override
    {
        ERR_clear_error();
        size_t written = 0;
        const int result = SSL_write_ex(FSsl, Data, static_cast<size_t>(Length), &written);
        return result == 1 ? static_cast<int>(written) : TransferFailure(result);
    }

    int Receive(char* Data, int Length, bool Peek) override
    {
        if (FBuffered.empty()) {
            const int got = Decrypt();
            if (got <= 0)
                return got;
        }
        const size_t count = std::min(FBuffered.size(), static_cast<size_t>(Length));
        std::memcpy(Data, FBuffered.data(), count);
        if (!Peek)
            FBuffered.erase(0, count);
        return static_cast<int>(count);
    }

    int LastError() const override { return FLastError; }

    int Wait(int Events, int Ms) override
    {
        if ((Events & kReadable) && (!FBuffered.empty() || SSL_pending(FSsl) > 0))
            return kReadable;
        return FPlain->Wait(Events, Ms);
    }

    int Close() override
    {
        if (FClosed)
            return 0;
        FClosed = true;
        // A goodbye that cannot be sent at once is not waited for: the connection ends anyway.
        if (SSL_is_init_finished(FSsl))
            SSL_shutdown(FSsl);
        return FPlain->Close();
    }

private:
    // Fills the buffer with what one record gives: its size, 0 at the end, -1 with LastError.
    int Decrypt()
    {
        char chunk[16384];
        size_t got = 0;
        ERR_clear_error();
        const int read = SSL_read_ex(FSsl, chunk, sizeof chunk, &got);
        if (read == 1) {
            FBuffered.assign(chunk, got);
            return static_cast<int>(got);
        }
        const int error = SSL_get_error(FSsl, read);
        if (error == SSL_ERROR_ZERO_RETURN)
            return 0;
        return TransferFailure(read, error);
    }

    int TransferFailure(int Result, int Error = -1)
    {
        const int error = Error >= 0 ? Error : SSL_get_error(FSsl, Result);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE)
            return (Fail(kSockWouldBlock), -1);
        if (error == SSL_ERROR_SYSCALL && FPlain->LastError() != 0)
            return (Fail(FPlain->LastError()), -1);
        FFailure = LibraryReason("TLS connection failed");
        return (Fail(kSockConnReset), -1);
    }

    std::string HandshakeFailure(int Error)
    {
        const long verified = SSL_get_verify_result(FSsl);
        if (verified != X509_V_OK) {
            ERR_clear_error();
            return std::string("Certificate verify failed: ") + X509_verify_cert_error_string(verified);
        }
        if (Error == SSL_ERROR_SYSCALL || Error == SSL_ERROR_ZERO_RETURN)
            return "TLS handshake failed: " + LibraryReason("the server closed the connection");
        return "TLS handshake failed: " + LibraryReason("protocol error");
    }

    int Fail(int Number)
    {
        FLastError = FClosed ? kSockNotConnected : Number;
        return FLastError;
    }

    std::unique_ptr<StreamSocket> FPlain;
    PlainEnd FEnd;
    SSL_CTX* FContext;
    SSL* FSsl;
    std::string FBuffered;
    std::string FFailure;
    int FWaitsFor = kReadable;
    int FLastError = 0;
    bool FClosed = false;
};

std::unique_ptr<SecureStream> NewOpenSslStream(std::unique_ptr<StreamSocket> Plain, const std::string& HostName,
                                               std::string& Error)
{
    SSL_CTX* context = NewContext();
    if (!context) {
        Error = "TLS is not available: " + LibraryReason("no context");
        return nullptr;
    }
    auto stream = std::make_unique<OpenSslStream>(std::move(Plain), context);
    if (!stream->Setup(HostName)) {
        Error = "TLS is not available: " + LibraryReason("set-up failed");
        return nullptr;
    }
    return stream;
}

}  // namespace

}  // namespace plat

extern "C" __attribute__((visibility("default"))) plat::SecureStream*
SolvaneNewSecureStream(plat::StreamSocket* Plain, const char* HostName, std::string* Error)
{
    return plat::NewOpenSslStream(std::unique_ptr<plat::StreamSocket>(Plain), HostName, *Error).release();
}
