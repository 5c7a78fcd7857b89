// THttpClient: the HTTP/1.0 GET client on top of TSockClient.
//
// Get(URL) takes the address apart on its own (RequestAddress.h: http or https only, an IPv6
// literal in brackets, the target percent-encoded, a line break refused), sends the request
// (directly, or in proxy form when Proxy is set; an https address over TLS, through the proxy's
// CONNECT tunnel when Proxy is set), reads the reply's status and header lines into Header and
// the body into Body: the chunks of a chunked reply, else the announced Content-Length of bytes
// (a body that ends before it raises ESockError), else everything until the server closes.
// Redirects (300-303, 307, 308) are followed to http and https addresses only, never from https
// to http (ESockError), a relative location resolved against the address asked. Cookies are kept
// per host (CookieJar.h). Any reply, error pages included, ends a Get normally; socket failures
// and time-outs raise ESockError/EAbortError after Disconnect, a port that is not a number (or
// not a port) EConvertError, an address it cannot take std::runtime_error. A whole Get is bounded
// (HttpLimits.h): a few redirects, a header, address, cookie and body size, and an overall
// deadline of a few TimeOut periods.
#pragma once

#include "engine/StrToInt.h"
#include "net/CookieJar.h"
#include "net/ExStringList.h"
#include "net/Sockclient.h"

#include <cstdint>
#include <string>

class THttpClient : public TSockClient {
public:
    using TMethodEvent = std::function<void(TObject* Sender, uint8_t Method)>;

    THttpClient(TComponent* AOwner, plat::MessagePump& APump, plat::NetServices& ANet = plat::SystemNet());
    const char* ClassName() const override { return "THttpClient"; }

    std::string Body = "Default.htm";
    std::string Header = "Head.txt";
    THeaderInfo HeaderInfo;
    bool InputFileMode = false;
    // The current address is https: TLS over the connection (through a CONNECT tunnel when a
    // proxy is set).
    bool Secure() const { return FSecure; }
    bool OutputFileMode = false;
    std::string URL;

    TNotifyEvent OnAboutToSend;
    TMethodEvent OnSuccess;
    TMethodEvent OnFailure;
    THandledEvent OnRedirect;
    TNotifyEvent OnAuthenticationNeeded;

    virtual void Get(const std::string& AURL);
    void Abort() override;

    virtual void HTTPConnect();
    virtual void ParseURL();
    virtual void AssembleHTTPHeader();
    virtual void RemoveHeader();
    virtual void SendHTTP();

    int16_t StatusCode() const { return FStatus; }
    int32_t ContentLength() const { return FContentLength; }
    const std::string& Path() const { return FPath; }
    const std::string& Location() const { return FLocation; }
    const std::string& ReceivedCookie() const { return FCookie; }
    const TExStringList& Request() const { return FRequest; }
    // "Solvane/<version>", sent as the User-Agent of every request.
    static std::string UserAgent();
    // The cookies that go with a request to HostName ("a=1; b=2"), over TLS or not.
    std::string CookiesFor(const std::string& HostName, bool OverTls) const;

private:
    void RunOneRequest();
    void ParseRedirect();
    // Through the proxy: asks it for a tunnel to Host:Port and reads its answer.
    void OpenTunnel();
    void JudgeReply();
    bool FollowRedirect();
    void ReadReplyHeader(size_t& HeaderBytes);
    void ReadHeaderLine(const std::string& Line);
    std::string ReadHeaderLn(size_t HeaderBytes);
    void ReadBody();
    void ReadChunkedBody();

    TExStringList FRequest;
    std::string FPath;
    std::string FLocation;
    std::string FCookie;
    uint8_t FMethod = 0;
    int16_t FStatus = 0;
    int32_t FContentLength = 0;
    int64_t FBodyLength = -1;  // the announced length, -1 when none was
    bool FChunked = false;
    TCookieJar FCookies;
    bool FBusy = false;
    bool FSecure = false;
};
