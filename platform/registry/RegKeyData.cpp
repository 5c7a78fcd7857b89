#include "platform/registry/RegKeyData.h"

#include "platform/locale/AsciiCase.h"

namespace plat {

size_t RegKeyData::NoCaseHash::operator()(std::string_view Name) const
{
    // FNV-1a over the lower-case bytes.
    size_t Hash = 14695981039346656037ull;
    for (const char C : Name)
        Hash = (Hash ^ static_cast<unsigned char>(LowerAscii(C))) * 1099511628211ull;
    return Hash;
}

bool RegKeyData::NoCaseEqual::operator()(std::string_view A, std::string_view B) const
{
    return EqualNoCase(A, B);
}

const RegValue* RegKeyData::Find(std::string_view Name) const
{
    const auto Found = FIndex.find(Name);
    return Found == FIndex.end() ? nullptr : &FValues[Found->second];
}

void RegKeyData::Set(std::string_view Name, uint32_t Type, std::string Data)
{
    const auto [Place, Added] = FIndex.try_emplace(std::string(Name), FValues.size());
    if (Added) {
        FValues.push_back(RegValue{std::string(Name), Type, std::move(Data)});
        return;
    }
    RegValue& Value = FValues[Place->second];
    Value.Type = Type;
    Value.Data = std::move(Data);
}

std::string DwordData(int32_t Value)
{
    const auto Bits = static_cast<uint32_t>(Value);
    std::string Data(4, '\0');
    for (int I = 0; I < 4; ++I)
        Data[I] = static_cast<char>((Bits >> (8 * I)) & 0xFF);
    return Data;
}

std::string TextData(std::string_view Text)
{
    std::string Data(Text);
    Data.push_back('\0');
    return Data;
}

std::string TextOfData(std::string_view Data)
{
    if (!Data.empty() && Data.back() == '\0')
        Data.remove_suffix(1);
    return std::string(Data);
}

}  // namespace plat
