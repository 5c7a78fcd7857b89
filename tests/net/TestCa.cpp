#include "tests/net/TestCa.h"

#include <cstdlib>
#include <fstream>

namespace nettest {

namespace {

bool Run(const std::string& Command)
{
    return std::system((Command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string NewKey(const std::string& Path)
{
    return "-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout " + Path;
}

}  // namespace

TestCa::TestCa(std::string Dir) : FDir(std::move(Dir))
{
    FMade = Run("openssl req -x509 " + NewKey(FDir + "/ca.key") + " -out " + CaFile() +
                " -subj /CN=Solvane-Test-CA -days 2");
}

bool TestCa::Issue(const std::string& Name, const std::string& Host, int Days, bool SelfSigned) const
{
    const std::string base = FDir + "/" + Name;
    std::string names;
    for (size_t start = 0; start <= Host.size();) {
        const std::string name = Host.substr(start, Host.find(',', start) - start);
        const bool address = name.find_first_not_of("0123456789.") == std::string::npos;
        names += (names.empty() ? "" : ",") + std::string(address ? "IP:" : "DNS:") + name;
        start += name.size() + 1;
    }
    std::ofstream(base + ".ext") << "subjectAltName=" << names << "\n";
    const std::string common = Host.substr(0, Host.find(','));
    if (!Run("openssl req " + NewKey(base + ".key") + " -out " + base + ".csr -subj /CN=" + common))
        return false;
    const std::string signer =
        SelfSigned ? "-signkey " + base + ".key" : "-CA " + CaFile() + " -CAkey " + FDir + "/ca.key";
    return Run("openssl x509 -req -in " + base + ".csr " + signer + " -days " + std::to_string(Days) + " -extfile " +
               base + ".ext -out " + base + ".pem");
}

TrustOnly::TrustOnly(const std::string& CaFile)
{
    if (const char* saved = std::getenv("SSL_CERT_FILE")) {
        FSaved = saved;
        FHadOne = true;
    }
    setenv("SSL_CERT_FILE", CaFile.c_str(), 1);
}

TrustOnly::~TrustOnly()
{
    if (FHadOne)
        setenv("SSL_CERT_FILE", FSaved.c_str(), 1);
    else
        unsetenv("SSL_CERT_FILE");
}

}  // namespace nettest
