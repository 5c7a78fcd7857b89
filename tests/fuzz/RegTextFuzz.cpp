// Fuzzes the key file parser with arbitrary bytes: it must never crash or hang, and whatever it
// accepts must format to a text that parses back to the same values.
#include "platform/registry/RegText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

const std::string_view kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver";

bool SameValues(const plat::RegKeyData& A, const plat::RegKeyData& B)
{
    if (A.Values().size() != B.Values().size())
        return false;
    for (size_t I = 0; I < A.Values().size(); ++I) {
        const plat::RegValue& X = A.Values()[I];
        const plat::RegValue& Y = B.Values()[I];
        if (X.Name != Y.Name || X.Type != Y.Type || X.Data != Y.Data)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Bytes, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Bytes), Size);
    plat::RegKeyData Data;
    plat::RegParseError Error;
    if (!plat::ParseRegText(Text, kKey, Data, Error))
        return 0;
    plat::RegKeyData Again;
    // Names with line breaks cannot be written; the parser cannot produce them either.
    if (!plat::ParseRegText(plat::FormatRegText(kKey, Data), kKey, Again, Error) || !SameValues(Data, Again))
        std::abort();
    return 0;
}
