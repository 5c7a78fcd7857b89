#include "net/NumberText.h"

#include "net/SockErrors.h"

#include <string>

bool TryStrToInt(std::string_view Text, int32_t& Value)
{
    size_t i = 0;
    const bool negative = !Text.empty() && Text[0] == '-';
    if (!Text.empty() && (Text[0] == '-' || Text[0] == '+'))
        i = 1;
    if (i == Text.size())
        return false;
    int64_t magnitude = 0;
    for (; i < Text.size(); ++i) {
        if (Text[i] < '0' || Text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (Text[i] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1)
            return false;
    }
    const int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > INT32_MAX)
        return false;
    Value = static_cast<int32_t>(signed_value);
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
