#include "shell/SaverMode.h"

#include "platform/locale/AsciiCase.h"

namespace shell {

TSaverMode ModeOf(const std::string& Switch)
{
    std::string text = plat::UpperAscii(Switch);
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
