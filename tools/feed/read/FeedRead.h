// The feed tool's "news" and "weather" commands: a feed read exactly as the saver reads it, and
// the values it would hand over printed one "Name=value" line each. They fill the saver's
// gadgets, which link the display and sound stack, so they live in a module of their own
// (solvane-feed-read.so, beside the tool) and `solvane-feed get` starts with the network code
// alone.
#pragma once

#include <string>

extern "C" {
// The module's export: Command is "news" or "weather"; returns the exit code as below.
using TFeedReadEntry = int (*)(const char* Command, const char* Source);
}
inline constexpr const char* kFeedReadModuleName = "solvane-feed-read.so";
inline constexpr const char* kFeedReadEntryName = "SolvaneFeedRead";

// Source is an address ("scheme://...", fetched through the saver's own client) or a file read as
// if it were the reply body. Returns the exit code: 0, 1 after an "error=" line, 2 when the file
// cannot be read.
int ReadNewsCommand(const std::string& Source);
int ReadWeatherCommand(const std::string& Source);

// A value as printable bytes: a backslash as "\\", every byte below 32 or above 126 as "\xHH".
std::string EscapeValue(const std::string& Value);
