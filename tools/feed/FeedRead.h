// The feed tool's "news" and "weather" commands: a feed read exactly as the saver reads it, and
// the values it would hand over printed one "Name=value" line each.
#pragma once

#include <string>

// Source is an address ("scheme://...", fetched through the saver's own client) or a file read as
// if it were the reply body. Returns the exit code: 0, 1 after an "error=" line, 2 when the file
// cannot be read.
int ReadNewsCommand(const std::string& Source);
int ReadWeatherCommand(const std::string& Source);

// A value as printable bytes: a backslash as "\\", every byte below 32 or above 126 as "\xHH".
std::string EscapeValue(const std::string& Value);
