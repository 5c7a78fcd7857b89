// Whole numbers read from addresses and reply lines: an optional sign and decimal digits that
// fit 32 bits, nothing else.
#pragma once

#include <cstdint>
#include <string_view>

bool TryStrToInt(std::string_view Text, int32_t& Value);
// The number, or EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view Text);
int32_t StrToIntDef(std::string_view Text, int32_t Default);
