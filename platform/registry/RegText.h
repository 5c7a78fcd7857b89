// The text form of one registry key: the export format that people can read, edit and import
// elsewhere.
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER\SOFTWARE\Kestrin Software\Solvane Screensaver]
//     "Brightness"=dword:00000100
//     "TDegree"="f"
//
// Texts are written as quoted strings (backslash and double quote escaped) unless they hold a
// line break or a zero byte, which the quoted form cannot carry; those, and every other type, are
// written as "hex(N):" byte lists. Bytes are never converted: a text is written and read back as
// the same bytes. Parsing is strict: a line it does not understand fails the whole text, with the
// line's number, so that a damaged file is never half-read.
#pragma once

#include "platform/registry/RegKeyData.h"

#include <string>
#include <string_view>

namespace plat {

struct RegParseError {
    int Line = 0;
    std::string Message;
};

// Parses Text, which must hold exactly the key KeyName ("HKEY_CURRENT_USER\SOFTWARE\...", matched
// without regard to ASCII case). Returns false and fills Error when the text is not understood.
bool ParseRegText(std::string_view Text, std::string_view KeyName, RegKeyData& Out, RegParseError& Error);

std::string FormatRegText(std::string_view KeyName, const RegKeyData& Data);

}  // namespace plat
