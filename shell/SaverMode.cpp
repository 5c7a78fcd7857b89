#include "shell/SaverMode.h"

#include <cctype>

namespace shell {

TSaverMode ModeOf(const std::string& Switch)
{
    std::string text;
    for (char c : Switch)
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text.size() < 2)
        return TSaverMode::Saver;
    if (text[0] == '/' || text[0] == '-')
        text.erase(0, 1);
    switch (text.empty() ? '\0' : text[0]) {
    case 'P': return TSaverMode::Preview;
    case 'C': return TSaverMode::Configuration;
    case 'A': return TSaverMode::Password;
    default: return TSaverMode::Saver;
    }
}

}  // namespace shell
