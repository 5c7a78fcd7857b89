#include "net/WebAddress.h"

#include "platform/locale/AsciiCase.h"
#include "platform/shell/ShellOpen.h"

#include <cctype>
#include <optional>

namespace {

struct TAddressParts {
    std::string_view Scheme;  // empty: none
    std::optional<std::string_view> Authority;
    std::string_view Path;
    std::optional<std::string_view> Query;
};

bool IsSchemeChar(char C)
{
    return std::isalnum(static_cast<unsigned char>(C)) || C == '+' || C == '-' || C == '.';
}

TAddressParts Split(std::string_view Text)
{
    TAddressParts parts;
    Text = Text.substr(0, Text.find('#'));
    parts.Scheme = SchemeOf(Text);
    if (!parts.Scheme.empty())
        Text.remove_prefix(parts.Scheme.size() + 1);
    if (Text.substr(0, 2) == "//") {
        const size_t end = Text.find_first_of("/?", 2);
        parts.Authority = Text.substr(2, end == std::string_view::npos ? std::string_view::npos : end - 2);
        Text.remove_prefix(2 + parts.Authority->size());
    }
    const size_t question = Text.find('?');
    parts.Path = Text.substr(0, question);
    if (question != std::string_view::npos)
        parts.Query = Text.substr(question + 1);
    return parts;
}

// RFC 3986, 5.2.4: "." and ".." segments taken out of a path.
std::string RemoveDotSegments(std::string_view In)
{
    std::string out;
    while (!In.empty()) {
        if (In.substr(0, 3) == "../")
            In.remove_prefix(3);
        else if (In.substr(0, 2) == "./")
            In.remove_prefix(2);
        else if (In.substr(0, 3) == "/./")
            In.remove_prefix(2);
        else if (In == "/.")
            In = "/";
        else if (In.substr(0, 4) == "/../" || In == "/..") {
            In = In.size() == 3 ? std::string_view("/") : In.substr(3);
            const size_t last = out.rfind('/');
            out.erase(last == std::string::npos ? 0 : last);
        } else if (In == "." || In == "..") {
            In = {};
        } else {
            const size_t next = In.find('/', 1);
            out.append(In.substr(0, next));
            In = next == std::string_view::npos ? std::string_view() : In.substr(next);
        }
    }
    return out;
}

// RFC 3986, 5.2.3: a relative path taken from the directory of the base's path.
std::string Merge(const TAddressParts& Base, std::string_view Path)
{
    if (Base.Authority && Base.Path.empty())
        return "/" + std::string(Path);
    const size_t slash = Base.Path.rfind('/');
    return std::string(slash == std::string_view::npos ? std::string_view() : Base.Path.substr(0, slash + 1)) +
        std::string(Path);
}

std::string Join(std::string_view Scheme, const std::optional<std::string_view>& Authority, const std::string& Path,
                 const std::optional<std::string_view>& Query)
{
    std::string out(Scheme);
    if (!Scheme.empty())
        out += ':';
    if (Authority) {
        out += "//";
        out.append(*Authority);
    }
    out += Path;
    if (Query) {
        out += '?';
        out.append(*Query);
    }
    return out;
}

std::string_view Trimmed(std::string_view Text)
{
    const size_t first = Text.find_first_not_of(" \t\r\n\f\v");
    if (first == std::string_view::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(" \t\r\n\f\v") - first + 1);
}

}  // namespace

std::string_view SchemeOf(std::string_view Text)
{
    const size_t colon = Text.find(':');
    if (colon == 0 || colon == std::string_view::npos || Text.find_first_of("/?#") < colon ||
        !std::isalpha(static_cast<unsigned char>(Text[0])))
        return {};
    for (size_t i = 1; i < colon; ++i)
        if (!IsSchemeChar(Text[i]))
            return {};
    return Text.substr(0, colon);
}

std::string ResolveReference(std::string_view Base, std::string_view Reference)
{
    const TAddressParts base = Split(Base);
    const TAddressParts ref = Split(Reference);
    if (!ref.Scheme.empty())
        return Join(ref.Scheme, ref.Authority, RemoveDotSegments(ref.Path), ref.Query);
    if (ref.Authority)
        return Join(base.Scheme, ref.Authority, RemoveDotSegments(ref.Path), ref.Query);
    if (ref.Path.empty())
        return Join(base.Scheme, base.Authority, std::string(base.Path), ref.Query ? ref.Query : base.Query);
    const std::string path = ref.Path[0] == '/' ? std::string(ref.Path) : Merge(base, ref.Path);
    return Join(base.Scheme, base.Authority, RemoveDotSegments(path), ref.Query);
}

namespace {

void AppendEscaped(std::string& Out, unsigned char Byte)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    Out += '%';
    Out += kHex[Byte >> 4];
    Out += kHex[Byte & 15];
}

bool IsAsciiAlnum(unsigned char Byte)
{
    return (Byte >= '0' && Byte <= '9') || (Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z');
}

bool IsHexDigit(char C)
{
    return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}

}  // namespace

std::string PercentEncode(std::string_view Value)
{
    std::string out;
    for (const char c : Value) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsAsciiAlnum(byte) || c == '-' || c == '.' || c == '_' || c == '~')
            out += c;
        else
            AppendEscaped(out, byte);
    }
    return out;
}

std::string EncodeTarget(std::string_view Target)
{
    // RFC 3986: a path and a query are pchars ("-._~", sub-delims, ":" and "@"), "/" and "?".
    static constexpr std::string_view kAllowed = "-._~!$&'()*+,;=:@/?";
    std::string out;
    out.reserve(Target.size());
    for (size_t i = 0; i < Target.size(); ++i) {
        const auto byte = static_cast<unsigned char>(Target[i]);
        const bool escape =
            byte == '%' && i + 2 < Target.size() && IsHexDigit(Target[i + 1]) && IsHexDigit(Target[i + 2]);
        if (IsAsciiAlnum(byte) || escape || (byte != 0 && kAllowed.find(Target[i]) != std::string_view::npos))
            out += Target[i];
        else
            AppendEscaped(out, byte);
    }
    return out;
}

std::string WebPageAddress(std::string_view Link)
{
    std::string address;
    std::string_view rest = Trimmed(Link);
    for (size_t at = rest.find("&amp;"); at != std::string_view::npos; at = rest.find("&amp;")) {
        address.append(rest.substr(0, at + 1));
        rest.remove_prefix(at + 5);
    }
    address.append(rest);
    for (const char c : address)
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F')
            return {};
    const size_t hostStart = plat::StartsWithNoCase(address, "http://") ? 7
        : plat::StartsWithNoCase(address, "https://")                   ? 8
                                                                        : 0;
    if (hostStart == 0 || hostStart == address.size() ||
        std::string_view("/?#@:").find(address[hostStart]) != std::string_view::npos)
        return {};
    return address;
}

bool OpenWebPage(std::string_view Link)
{
    const std::string address = WebPageAddress(Link);
    return !address.empty() && plat::ShellOpen(address);
}
