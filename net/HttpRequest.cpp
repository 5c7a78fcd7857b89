// THttpClient's request side: the address rules, the request header, sending it.
#include "net/Httpclient.h"

#include "net/HttpLimits.h"
#include "engine/StrToInt.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace {

std::string LowerCase(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return Text;
}

}  // namespace

void THttpClient::ParseURL()
{
    if (URL.empty())
        throw std::runtime_error("Empty URL");
    if (Port == 0)
        Port = 80;
    const bool hasSlashes = URL.find("//") != std::string::npos;
    const size_t firstSlash = URL.find('/');
    if (hasSlashes)
        FPath = URL.substr(std::min(URL.size(), static_cast<size_t>(NthPos(URL, '/', 3) - 1)));
    else if (firstSlash != std::string::npos)
        FPath = URL.substr(firstSlash);
    else
        FPath.clear();
    if (FPath.size() > net::kMaxPathChars)
        FPath.resize(net::kMaxPathChars);

    const size_t colon = URL.find(':');
    if (colon != std::string::npos) {
        const std::string scheme = LowerCase(URL.substr(0, colon));
        FSecure = scheme == "https";
        Port = FSecure ? 443 : scheme == "gopher" ? 70 : scheme == "ftp" ? 21 : 80;
    }

    std::string hostPart;
    if (hasSlashes)
        hostPart = NthWord(URL, '/', 3);
    else if (URL[0] != '/')
        hostPart = NthWord(URL, '/', 1);
    const size_t portColon = hostPart.find(':');
    if (portColon != std::string::npos) {
        Port = StrToInt(NthWord(hostPart, ':', 2));
        hostPart.resize(portColon);
    }
    if (!hostPart.empty())
        Host = hostPart;
    if (FPath.empty()) {
        FPath = "/";
        URL += "/";
    }
}

void THttpClient::AssembleHTTPHeader()
{
    FRequest.Clear();
    // An https request goes through the proxy's tunnel, so it is sent as to the server itself.
    const bool proxyForm = !Proxy.empty() && !FSecure;
    FRequest.Add("GET " + (proxyForm ? URL : FPath) + " HTTP/1.0");
    if (proxyForm) {
        FRequest.Add("Proxy-Connection: Keep-Alive");
        FRequest.Add("Host: " + Host);
    }
    FRequest.SetValue("Host", Host);
    FRequest.Add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    FRequest.Add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
    if (!HeaderInfo.Cookie.empty())
        FRequest.SetValue("Cookie", HeaderInfo.Cookie);
    FRequest.Add("Content-type: application/x-www-form-urlencoded");
}

void THttpClient::SendHTTP()
{
    Write(FRequest.Text());
    Writeln("");
}
