// Decimal text to a 32-bit integer the way the runtime's conversion does it: an optional sign and
// decimal digits, surrounding blanks allowed; anything else, or a value outside the 32-bit range,
// raises EConvertError with the runtime's message ("'abc' is not a valid integer value").
//
// The one conversion of the program: command-line window handles, port numbers in addresses and
// settings, weather codes, and (with a default instead of the error) numbers in reply headers.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool TryStrToInt(std::string_view Text, int32_t& Value);
int32_t StrToInt(std::string_view Text);
int32_t StrToIntDef(std::string_view Text, int32_t Default);
// A TCP port: StrToInt's number, which must also lie in 1..65535 ("'70000' is not a valid port"),
// so that no port wraps around into another when it is handed to the socket.
int32_t StrToPort(std::string_view Text);
