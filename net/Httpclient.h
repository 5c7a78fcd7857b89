// THttpClient: the HTTP/1.0 GET client on top of TSockClient.
//
// Get(URL) parses the address, sends the request (directly, or in proxy form when Proxy is
// set; an https address over TLS, through the proxy's CONNECT tunnel when Proxy is set), reads the reply's status and header lines into Header and everything after them until
// the server closes into Body, and follows redirects (300-302) with the received cookie carried
// in HeaderInfo.Cookie for every later request. Any reply, error pages included, ends a Get
// normally; socket failures and time-outs raise ESockError/EAbortError after Disconnect, a port
// that is not a number EConvertError. A whole
// Get is bounded (HttpLimits.h): a few redirects, a header and body size, and an overall
// deadline of a few TimeOut periods.
#pragma once

#include "engine/StrToInt.h"
#include "net/ExStringList.h"
#include "net/Sockclient.h"

#include <cstdint>
#include <string>

class THttpClient : public TSockClient {
public:
    using TMethodEvent = std::function<void(TObject* Sender, uint8_t Method)>;

    explicit THttpClient(TComponent* AOwner, plat::NetServices& ANet = plat::SystemNet());
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

private:
    void RunOneRequest();
    // Through the proxy: asks it for a tunnel to Host:Port and reads its answer.
    void OpenTunnel();
    void JudgeReply();
    bool FollowRedirect();
    void ReadHeaderLine(const std::string& Line);
    std::string ReadHeaderLn(size_t HeaderBytes);

    TExStringList FRequest;
    std::string FPath;
    std::string FLocation;
    std::string FCookie;
    uint8_t FMethod = 0;
    int16_t FStatus = 0;
    int32_t FContentLength = 0;
    bool FBusy = false;
    bool FSecure = false;
};
