// ASCII letter case, the same under every locale: for the names of protocols, command-line
// switches, settings files and resource tables, where a locale's own case rules must not apply.
// Bytes outside A-Z and a-z are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace plat {

constexpr char LowerAscii(char C)
{
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C + ('a' - 'A')) : C;
}

constexpr char UpperAscii(char C)
{
    return C >= 'a' && C <= 'z' ? static_cast<char>(C - ('a' - 'A')) : C;
}

inline std::string LowerAscii(std::string_view Text)
{
    std::string out(Text);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

inline std::string UpperAscii(std::string_view Text)
{
    std::string out(Text);
    for (char& c : out)
        c = UpperAscii(c);
    return out;
}

constexpr bool EqualNoCase(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (LowerAscii(A[i]) != LowerAscii(B[i]))
            return false;
    return true;
}

constexpr bool StartsWithNoCase(std::string_view Text, std::string_view Prefix)
{
    return Text.size() >= Prefix.size() && EqualNoCase(Text.substr(0, Prefix.size()), Prefix);
}

}  // namespace plat
