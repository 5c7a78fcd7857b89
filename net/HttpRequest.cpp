// THttpClient's request side: the address rules, the request header, sending it.
#include "net/Httpclient.h"

#include "engine/StrToInt.h"
#include "net/HttpLimits.h"
#include "platform/locale/AsciiCase.h"

#include <algorithm>
#include <stdexcept>

#ifndef SOLVANE_VERSION_TEXT
#error "SOLVANE_VERSION_TEXT names the program's version (packaging/Install.cmake)"
#endif

// The scheme is the text before a ":" that comes before any "/", "?" or "#" ("host:8080/p" is
// read that way too, and then its port is found in the host part); a colon further on belongs to
// the path or the query.
void THttpClient::ParseURL()
{
    if (URL.empty())
        throw std::runtime_error("Empty URL");
    if (Port == 0)
        Port = 80;
    // A fragment belongs to the reader of the page, never to the request.
    URL.resize(std::min(URL.find('#'), URL.size()));
    const size_t colon = URL.find(':');
    if (colon != std::string::npos && colon < URL.find_first_of("/?")) {
        const std::string scheme = plat::LowerAscii(URL.substr(0, colon));
        FSecure = scheme == "https";
        Port = FSecure ? 443 : scheme == "gopher" ? 70 : scheme == "ftp" ? 21 : 80;
    }
    const size_t slashes = URL.find("//");
    size_t hostStart = slashes != std::string::npos ? slashes + 2 : URL[0] == '/' ? std::string::npos : 0;
    const size_t pathStart =
        hostStart == std::string::npos ? 0 : std::min(URL.find_first_of("/?", hostStart), URL.size());
    std::string hostPart = hostStart == std::string::npos ? "" : URL.substr(hostStart, pathStart - hostStart);
    hostPart.erase(0, hostPart.rfind('@') + 1);  // user information is not sent
    const size_t portColon = hostPart.find(':');
    if (portColon != std::string::npos) {
        const int32_t port = StrToInt(hostPart.substr(portColon + 1));
        if (port < 1 || port > 65535)
            throw EConvertError("'" + hostPart.substr(portColon + 1) + "' is not a valid port");
        Port = port;
        hostPart.resize(portColon);
    }
    if (!hostPart.empty())
        Host = hostPart;
    if (pathStart == URL.size() || URL[pathStart] == '?')
        URL.insert(pathStart, "/");
    FPath = URL.substr(pathStart);
    if (FPath.size() > net::kMaxPathChars)
        throw ESockError("Address too long");
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
    // Many servers refuse a request that does not say what program asks.
    FRequest.Add("User-Agent: " + UserAgent());
    std::string cookies = HeaderInfo.Cookie;
    const std::string kept = CookiesFor(Host, FSecure);
    cookies += !cookies.empty() && !kept.empty() ? "; " + kept : kept;
    if (!cookies.empty())
        FRequest.SetValue("Cookie", cookies);
    FRequest.Add("Content-type: application/x-www-form-urlencoded");
}

std::string THttpClient::UserAgent()
{
    return "Solvane/" SOLVANE_VERSION_TEXT;
}

std::string THttpClient::CookiesFor(const std::string& HostName, bool OverTls) const
{
    const std::string host = plat::LowerAscii(HostName);
    std::string out;
    for (const TCookie& cookie : FCookies) {
        if (cookie.Host != host || (cookie.FromTls && !OverTls))
            continue;
        out += out.empty() ? "" : "; ";
        out += cookie.Name + "=" + cookie.Value;
    }
    return out;
}

// Only the name=value before the attributes is kept, for the host that set it alone: the
// Domain attribute would let one host's cookie go to others.
void THttpClient::KeepCookie(const std::string& SetCookie)
{
    const std::string pair = SetCookie.substr(0, SetCookie.find(';'));
    const size_t equals = pair.find('=');
    auto trim = [](std::string Text) {
        Text.erase(0, std::min(Text.find_first_not_of(" \t"), Text.size()));
        Text.erase(std::min(Text.find_last_not_of(" \t") + 1, Text.size()));
        return Text;
    };
    if (equals == std::string::npos)
        return;
    TCookie cookie{plat::LowerAscii(Host), trim(pair.substr(0, equals)), trim(pair.substr(equals + 1)), FSecure};
    if (cookie.Name.empty())
        return;
    std::erase_if(FCookies, [&](const TCookie& Kept) { return Kept.Host == cookie.Host && Kept.Name == cookie.Name; });
    if (FCookies.size() == net::kMaxCookies)
        FCookies.erase(FCookies.begin());
    FCookies.push_back(std::move(cookie));
}

void THttpClient::SendHTTP()
{
    Write(FRequest.Text());
    Writeln("");
}
