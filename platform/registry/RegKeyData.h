// The values of one registry key held in memory: typed byte blocks under names, in the order they
// were first written. Names match without regard to ASCII case, as the registry's do, and a name
// is found in constant time, so a key of tens of thousands of values loads in linear time.
//
// Data are kept as the registry keeps them: a DWORD as four little-endian bytes, a text as its
// bytes followed by one zero byte. Other types are carried unchanged so that a rewrite of the key
// loses nothing a person put there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat {

// Type numbers of the registry's export format ("hex(2):" is RegExpandSz).
enum RegType : uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
};

struct RegValue {
    std::string Name;
    uint32_t Type = RegNone;
    std::string Data;
};

class RegKeyData {
public:
    const RegValue* Find(std::string_view Name) const;
    // Replaces the value of that name (keeping its place and spelling) or appends a new one.
    void Set(std::string_view Name, uint32_t Type, std::string Data);
    const std::vector<RegValue>& Values() const { return FValues; }

private:
    // Hash and equality of names without regard to ASCII case, usable with a plain view.
    struct NoCaseHash {
        using is_transparent = void;
        size_t operator()(std::string_view Name) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view A, std::string_view B) const;
    };

    std::vector<RegValue> FValues;
    std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> FIndex;  // name -> place in FValues
};

// The stored forms of the two value types the settings use.
std::string DwordData(int32_t Value);
std::string TextData(std::string_view Text);
// The text of a REG_SZ or REG_EXPAND_SZ block: its bytes without the one closing zero byte.
std::string TextOfData(std::string_view Data);

}  // namespace plat
