// THttpClient's request side: the address rules, the request header, sending it.
#include "net/Httpclient.h"

#include "net/HttpLimits.h"
#include "net/RequestAddress.h"

#include <algorithm>

#ifndef SOLVANE_VERSION_TEXT
#error "SOLVANE_VERSION_TEXT names the program's version (packaging/Install.cmake)"
#endif

void THttpClient::ParseURL()
{
    TRequestAddress address = SplitRequestAddress(URL);
    FSecure = address.Secure;
    Host = std::move(address.Host);
    Port = address.Port;
    FPath = std::move(address.Target);
    URL = std::move(address.Absolute);
}

void THttpClient::AssembleHTTPHeader()
{
    FRequest.Clear();
    // An https request goes through the proxy's tunnel, so it is sent as to the server itself.
    const bool proxyForm = !Proxy.empty() && !FSecure;
    FRequest.Add("GET " + (proxyForm ? URL : FPath) + " HTTP/1.0");
    const std::string host = AuthorityHost(Host);
    if (proxyForm) {
        FRequest.Add("Proxy-Connection: Keep-Alive");
        FRequest.Add("Host: " + host);
    }
    FRequest.SetValue("Host", host);
    FRequest.Add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    FRequest.Add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
    // Many servers refuse a request that does not say what program asks.
    FRequest.Add("User-Agent: " + UserAgent());
    std::string cookies = HeaderInfo.Cookie;
    const size_t budget = cookies.empty() ? net::kMaxCookieChars
                                          : net::kMaxCookieChars - std::min(net::kMaxCookieChars, cookies.size() + 2);
    const std::string kept = FCookies.ForRequest(Host, FSecure, budget);
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
    return FCookies.Joined(HostName, OverTls);
}

// The whole request, however long its lines: Write would cut it at its buffer.
void THttpClient::SendHTTP()
{
    SendText(FRequest.Text() + "\r\n");
}
