#include "platform/registry/RegKeyData.h"

#include <algorithm>

namespace plat {

namespace {

bool SameName(std::string_view A, std::string_view B)
{
    auto Lower = [](unsigned char C) { return C >= 'A' && C <= 'Z' ? C + ('a' - 'A') : C; };
    return A.size() == B.size() &&
        std::equal(A.begin(), A.end(), B.begin(), [&](char X, char Y) { return Lower(X) == Lower(Y); });
}

}  // namespace

const RegValue* RegKeyData::Find(std::string_view Name) const
{
    for (const RegValue& Value : FValues)
        if (SameName(Value.Name, Name))
            return &Value;
    return nullptr;
}

void RegKeyData::Set(std::string_view Name, uint32_t Type, std::string Data)
{
    for (RegValue& Value : FValues)
        if (SameName(Value.Name, Name)) {
            Value.Type = Type;
            Value.Data = std::move(Data);
            return;
        }
    FValues.push_back(RegValue{std::string(Name), Type, std::move(Data)});
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
