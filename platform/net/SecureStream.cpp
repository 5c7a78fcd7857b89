// The TLS module is loaded once, at the first https connection, and stays loaded until the
// process ends: OpenSSL's exit handlers live in it.
#include "platform/net/SecureStream.h"

#include "platform/net/TlsModule.h"
#include "platform/shell/Library.h"

namespace plat {

namespace {

TNewSecureStreamEntry TlsEntry()
{
    static Library* const module = [] {
        auto* loaded = new Library;
        loaded->LoadModule(kTlsModuleName);
        return loaded;
    }();
    static const auto entry = reinterpret_cast<TNewSecureStreamEntry>(module->Symbol(kTlsEntryName));
    return entry;
}

}  // namespace

std::unique_ptr<SecureStream> NewSecureStream(std::unique_ptr<StreamSocket> Plain, const std::string& HostName,
                                              std::string& Error)
{
    const TNewSecureStreamEntry entry = TlsEntry();
    if (entry == nullptr) {
        Error = std::string("TLS is not available: ") + kTlsModuleName + " is missing or damaged";
        return nullptr;
    }
    return std::unique_ptr<SecureStream>(entry(Plain.release(), HostName.c_str(), &Error));
}

}  // namespace plat
