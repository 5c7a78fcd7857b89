#include "engine/StrToInt.h"

#include <charconv>

bool TryStrToInt(std::string_view Text, int32_t& Value)
{
    const size_t first = Text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return false;
    Text = Text.substr(first, Text.find_last_not_of(" \t") + 1 - first);
    // from_chars takes a minus sign but not a plus sign.
    if (Text.size() > 1 && Text[0] == '+' && Text[1] != '-')
        Text.remove_prefix(1);
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (error != std::errc() || stop != Text.data() + Text.size())
        return false;
    Value = value;
    return true;
}

int32_t StrToInt(std::string_view Text)
{
    int32_t value = 0;
    if (!TryStrToInt(Text, value))
        throw EConvertError("'" + std::string(Text) + "' is not a valid integer value");
    return value;
}

int32_t StrToIntDef(std::string_view Text, int32_t Default)
{
    int32_t value = 0;
    return TryStrToInt(Text, value) ? value : Default;
}

int32_t StrToPort(std::string_view Text)
{
    const int32_t port = StrToInt(Text);
    if (port < 1 || port > 65535)
        throw EConvertError("'" + std::string(Text) + "' is not a valid port");
    return port;
}
