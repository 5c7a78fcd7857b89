// THttpClient: construction, Get and the request loop with its redirects.
// Request assembly is in HttpRequest.cpp, the reply header in HttpReply.cpp.
#include "net/Httpclient.h"

#include "net/HttpLimits.h"

#include <chrono>

namespace {

// Marks a Get in progress and bounds it by its overall deadline, exceptions included.
class GetScope {
public:
    GetScope(bool& ABusy, std::function<void()> AOnExit) : FBusy(ABusy), FOnExit(std::move(AOnExit))
    {
        FBusy = true;
    }
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

}  // namespace

THttpClient::THttpClient(TComponent* AOwner, plat::NetServices& ANet) : TSockClient(AOwner, ANet)
{
}

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
    GetScope scope(FBusy, [this] { SetDeadline(std::chrono::steady_clock::time_point::max()); });
    FMethod = 0;
    URL = AURL;
    if (TimeOut > 0)
        SetDeadline(std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(int64_t{TimeOut} * net::kGetDeadlineTimeOuts));
    HTTPConnect();
}

void THttpClient::HTTPConnect()
{
    for (int followed = 0;; ++followed) {
        ParseURL();
        AssembleHTTPHeader();
        if (OnAboutToSend)
            OnAboutToSend(this);
        RunOneRequest();
        const bool redirect = FStatus >= 300 && FStatus <= 302 && !FLocation.empty();
        if (FStatus == 401 && OnAuthenticationNeeded)
            OnAuthenticationNeeded(this);
        // Other 3xx replies carry nothing to follow; they end the loop like a finished request.
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
            CaptureString(Body, -1);
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
    } else if (FStatus >= 300 && FStatus <= 302 && !FLocation.empty()) {
        URL = FLocation;
    }
}

bool THttpClient::FollowRedirect()
{
    if (!FCookie.empty())
        HeaderInfo.Cookie = FCookie;
    bool handled = false;
    if (OnRedirect)
        OnRedirect(this, handled);
    if (handled)
        return false;
    // A bare name is relative to the server just asked; its port goes with it.
    if (URL.find('/') == std::string::npos)
        URL = (FSecure ? "https://" : "http://") + Host +
              (Port != (FSecure ? 443 : 80) ? ":" + std::to_string(Port) : "") + "/" + URL;
    return true;
}
