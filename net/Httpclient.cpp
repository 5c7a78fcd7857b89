// THttpClient: construction, Get and the request loop with its redirects.
// Request assembly is in HttpRequest.cpp, the reply header in HttpReply.cpp.
#include "net/Httpclient.h"

#include "net/ChunkedBody.h"
#include "net/HttpLimits.h"
#include "net/WebAddress.h"
#include "platform/locale/AsciiCase.h"

#include <chrono>

namespace {

// Marks a Get in progress and bounds it by its overall deadline, exceptions included.
class GetScope {
public:
    GetScope(bool& ABusy, std::function<void()> AOnExit) : FBusy(ABusy), FOnExit(std::move(AOnExit)) { FBusy = true; }
    ~GetScope()
    {
        FBusy = false;
        FOnExit();
    }
    GetScope(const GetScope&) = delete;
    GetScope& operator=(const GetScope&) = delete;

private:
    bool& FBusy;
    std::function<void()> FOnExit;
};

bool IsRedirect(int16_t Status)
{
    return (Status >= 300 && Status <= 303) || Status == 307 || Status == 308;
}

}  // namespace

THttpClient::THttpClient(TComponent* AOwner, plat::MessagePump& APump, plat::NetServices& ANet)
    : TSockClient(AOwner, APump, ANet)
{}

void THttpClient::Abort()
{
    // Ends a pending name lookup as well as any other wait.
    FLookupDone = true;
    Cancel();
}

void THttpClient::Get(const std::string& AURL)
{
    // A Get started from inside another one's wait (a timer handler, say) would take over the
    // address and the connection of the one in progress.
    if (FBusy)
        throw ESockError("Already connected");
    GetScope scope(FBusy, [this] { SetDeadline(std::chrono::milliseconds(0)); });
    FMethod = 0;
    URL = AURL;
    if (TimeOut > 0)
        SetDeadline(std::chrono::milliseconds(int64_t{TimeOut} * net::kGetDeadlineTimeOuts));
    HTTPConnect();
}

void THttpClient::HTTPConnect()
{
    for (int followed = 0;; ++followed) {
        if (followed == 0)
            ParseURL();
        else
            ParseRedirect();
        AssembleHTTPHeader();
        if (OnAboutToSend)
            OnAboutToSend(this);
        RunOneRequest();
        const bool redirect = IsRedirect(FStatus) && !FLocation.empty();
        if (FStatus == 401 && OnAuthenticationNeeded)
            OnAuthenticationNeeded(this);
        // Other 3xx replies carry nothing to follow; they end the loop like a finished request,
        // and so does the last redirect allowed.
        if (!redirect || followed == net::kMaxRedirects || !FollowRedirect())
            return;
    }
}

void THttpClient::RunOneRequest()
{
    try {
        Connect();
        if (FSecure) {
            if (!Proxy.empty())
                OpenTunnel();
            StartSecure(Host);
        }
        SendHTTP();
        FStatus = 0;
        RemoveHeader();
        if (!InputFileMode)
            ReadBody();
        JudgeReply();
    } catch (...) {
        try {
            Disconnect();
        } catch (const ESockError&) {
            // The failure that got us here is the one to report.
        }
        throw;
    }
    Disconnect();
}

void THttpClient::JudgeReply()
{
    if (FStatus < 299) {
        if (OnSuccess)
            OnSuccess(this, FMethod);
        StatusMessage(2, "Transaction Completed");
    } else if (FStatus > 399) {
        if (OnFailure)
            OnFailure(this, FMethod);
    } else if (IsRedirect(FStatus) && !FLocation.empty()) {
        // URL is the address as asked, scheme, host and port included: "feed.xml" and
        // "/landing?t=12:00" are relative to it.
        URL = ResolveReference(URL, FLocation);
    }
}

// Where a server sends us is the server's doing: an address the client cannot take ends the Get
// as a socket error does, so the callers keep what they had.
void THttpClient::ParseRedirect()
{
    const std::string scheme = plat::LowerAscii(SchemeOf(URL));
    if (scheme != "http" && scheme != "https")
        throw ESockError("Redirect to " + scheme.substr(0, 16) + " refused: only http and https are followed");
    if (FSecure && scheme == "http")
        throw ESockError("Redirect from https to http refused");
    try {
        ParseURL();
    } catch (const ESockError&) {
        throw;
    } catch (const std::runtime_error& error) {
        throw ESockError(error.what());
    }
}

// With a Content-Length the body ends there (a proxy may keep the connection open after it);
// without one, at the connection's end.
void THttpClient::ReadBody()
{
    if (FChunked) {
        ReadChunkedBody();
        return;
    }
    if (FBodyLength < 0) {
        CaptureString(Body, -1);
        return;
    }
    const auto limit = static_cast<int32_t>(std::min<int64_t>(FBodyLength, int64_t{net::kMaxBodyBytes} + 1));
    // Grown piece by piece, a large body would briefly need twice its size.
    Body.clear();
    Body.reserve(std::min(static_cast<size_t>(limit), net::kMaxBodyBytes));
    CaptureString(Body, limit);
    // What came after the announced length belongs to no reply of ours.
    if (Body.size() > static_cast<size_t>(FBodyLength))
        Body.resize(static_cast<size_t>(FBodyLength));
    if (Body.size() < static_cast<size_t>(limit))
        throw ESockError("Reply body cut short: " + std::to_string(Body.size()) + " of " + std::to_string(FBodyLength) +
                         " bytes");
}

void THttpClient::ReadChunkedBody()
{
    Body.clear();
    TChunkedBody chunks(Body);
    Capture([&](std::string_view Bytes) { return chunks.Take(Bytes); });
    if (!chunks.Done())
        throw ESockError("Reply body cut short: the connection ended inside a chunk");
}

bool THttpClient::FollowRedirect()
{
    bool handled = false;
    if (OnRedirect)
        OnRedirect(this, handled);
    return !handled;
}
