// nginx serving https with certificates of a test CA, beside a plain http port, for the tests
// that need a TLS server: "localhost" (and kServedHosts) with a good certificate on Port(), an expired one, one
// for another host and a self-signed one on ports of their own, and plain http on PlainPort()
// (which redirects /moved to the good server's /file.bin). Files go in Www(). Every server
// answers /set with a cookie marked Secure and /echo with the cookies it was sent ("[s=2]"); the
// https ones redirect /down to the plain server's /echo.
// Trust() makes the test CA the only one trusted while it lives.
#pragma once

#include "tests/net/ChildServer.h"
#include "tests/net/TestCa.h"

#include <memory>
#include <string>

namespace nettest {

// The outside hosts the good certificate is also made for, so that a tunnel to them can end at
// the local server.
inline constexpr const char* kServedHosts = "api.open-meteo.com,news.google.com,feeds.bbci.co.uk";

class TlsServers {
public:
    enum Kind { kGood, kExpired, kWrongHost, kSelfSigned, kPlain, kKinds };

    TlsServers();
    // Starts nginx once the files are written; false with the reason in Log().
    bool Start();
    std::string Log() const;
    void WriteFile(const std::string& Name, const std::string& Content) const;
    int Port(Kind Which) const { return FPorts[Which]; }
    // "https://localhost:<port>" (http:// for kPlain) + Path.
    std::string Url(Kind Which, const std::string& Path) const;
    const TestCa& Ca() const { return FCa; }

private:
    std::string TlsBlock(Kind Which, const std::string& Name) const;

    ChildServer FNginx;
    TestCa FCa;
    int FPorts[kKinds] = {};
};

}  // namespace nettest
