#include "tests/net/TlsServers.h"

#include "tests/net/FixtureServer.h"

namespace nettest {

TlsServers::TlsServers() : FCa(FNginx.Dir())
{
    FPorts[kGood] = FNginx.Port();
    for (int kind = kExpired; kind < kKinds; ++kind)
        FPorts[kind] = UnusedLoopbackPort();
}

// /set sets a cookie marked Secure; /echo answers the cookies it was sent, in brackets.
constexpr const char* kCookieLocations =
    "  location = /set { add_header Set-Cookie \"s=2; Secure; Path=/\"; return 200 set; }\n"
    "  location = /echo { default_type text/plain; return 200 \"[$http_cookie]\"; }\n";

// /down sends an https client to the plain server's /echo.
std::string TlsServers::TlsBlock(Kind Which, const std::string& Name) const
{
    const std::string dir = FNginx.Dir();
    return " server { listen 127.0.0.1:" + std::to_string(FPorts[Which]) + " ssl;\n  ssl_certificate " + dir + "/" +
        Name + ".pem;\n  ssl_certificate_key " + dir + "/" + Name + ".key;\n  root " + dir + "/www;\n" +
        kCookieLocations + "  location = /down { return 302 " + Url(kPlain, "/echo") + "; }\n }\n";
}

bool TlsServers::Start()
{
    if (!FCa.Made() || !FCa.Issue("good", "localhost," + std::string(kServedHosts), 2) ||
        !FCa.Issue("expired", "localhost", -1) || !FCa.Issue("wrong", "other.test", 2) ||
        !FCa.Issue("self", "localhost", 2, true))
        return false;
    const std::string plain = " server { listen 127.0.0.1:" + std::to_string(FPorts[kPlain]) + ";\n  root " +
        FNginx.Dir() + "/www;\n  location = /moved { return 301 " + Url(kGood, "/file.bin") + "; }\n" +
        kCookieLocations + " }\n";
    return StartNginx(FNginx,
                      TlsBlock(kGood, "good") + TlsBlock(kExpired, "expired") + TlsBlock(kWrongHost, "wrong") +
                          TlsBlock(kSelfSigned, "self") + plain) &&
        WaitForListener(FPorts[kPlain], 2000);
}

std::string TlsServers::Log() const
{
    return FNginx.ReadFile("stderr.log") + FNginx.ReadFile("error.log");
}

void TlsServers::WriteFile(const std::string& Name, const std::string& Content) const
{
    FNginx.WriteFile("www/" + Name, Content);
}

std::string TlsServers::Url(Kind Which, const std::string& Path) const
{
    return (Which == kPlain ? "http://localhost:" : "https://localhost:") + std::to_string(FPorts[Which]) + Path;
}

}  // namespace nettest
