// HTML 4's named character entities ("eacute", "nbsp", "euro", ...), looked up by exact name.
#pragma once

#include <string_view>

// The entity's code point, or 0 when HTML 4 has no entity of that name.
char32_t Html4EntityCodePoint(std::string_view Name);
