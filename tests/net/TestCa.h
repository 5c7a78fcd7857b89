// A certificate authority made by a test with the openssl command, in a directory of the test's:
// its own certificate to trust (through SSL_CERT_FILE) and server certificates it signs.
#pragma once

#include <string>

namespace nettest {

class TestCa {
public:
    // Makes the authority's key and certificate in Dir; Made() tells whether that worked.
    explicit TestCa(std::string Dir);
    bool Made() const { return FMade; }
    std::string CaFile() const { return FDir + "/ca.pem"; }
    // Writes Name.pem and Name.key: a certificate for Host (names or addresses, separated by
    // commas) valid for Days
    // from now (negative: it expired that long ago), signed by the authority or by itself.
    bool Issue(const std::string& Name, const std::string& Host, int Days, bool SelfSigned = false) const;

private:
    std::string FDir;
    bool FMade = false;
};

// Sets SSL_CERT_FILE for the lifetime of the object and restores what was there.
class TrustOnly {
public:
    explicit TrustOnly(const std::string& CaFile);
    ~TrustOnly();
    TrustOnly(const TrustOnly&) = delete;
    TrustOnly& operator=(const TrustOnly&) = delete;

private:
    std::string FSaved;
    bool FHadOne = false;
};

}  // namespace nettest
