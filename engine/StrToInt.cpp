#include "engine/StrToInt.h"

#include <charconv>

int32_t StrToInt(const std::string& Text)
{
    size_t first = Text.find_first_not_of(" \t");
    size_t last = Text.find_last_not_of(" \t");
    if (first == std::string::npos)
        throw EConvertError("'" + Text + "' is not a valid integer value");
    // from_chars takes a minus sign but not a plus sign.
    if (Text[first] == '+' && first < last && Text[first + 1] != '-')
        ++first;
    int32_t value = 0;
    const char* begin = Text.data() + first;
    const char* end = Text.data() + last + 1;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end)
        throw EConvertError("'" + Text + "' is not a valid integer value");
    return value;
}
