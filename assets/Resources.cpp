// Looks up the resources that assets/Resources.cmake assembles into the library. The table is a
// null-terminated array of (upper-case name, bytes, size); referencing it here is what pulls the
// generated object out of the static library into every program that asks for a resource.
#include "assets/Resources.h"

#include "platform/locale/AsciiCase.h"

#include <cstddef>

namespace {

struct ResourceEntry {
    const char* Name;
    const uint8_t* Data;
    uint64_t Size;
};

// The stored names are upper case already, so only the asked-for name needs folding.
bool SameName(const char* Stored, std::string_view Asked)
{
    size_t I = 0;
    for (; I < Asked.size(); ++I) {
        if (Stored[I] == '\0' || Stored[I] != plat::UpperAscii(Asked[I]))
            return false;
    }
    return Stored[I] == '\0';
}

}  // namespace

extern "C" const ResourceEntry solvane_resource_table[];

namespace assets {

std::span<const uint8_t> FindResource(std::string_view Name)
{
    for (const ResourceEntry* E = solvane_resource_table; E->Name != nullptr; ++E) {
        if (SameName(E->Name, Name))
            return {E->Data, static_cast<size_t>(E->Size)};
    }
    return {};
}

}  // namespace assets
