// Decimal text to a 32-bit integer the way the runtime's conversion does it: an optional sign and
// decimal digits, surrounding blanks allowed; anything else, or a value outside the 32-bit range,
// raises EConvertError with the runtime's message ("'abc' is not a valid integer value").
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int32_t StrToInt(const std::string& Text);
