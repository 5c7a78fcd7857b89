#include "net/ExStringList.h"

#include "platform/locale/AsciiCase.h"

int TExStringList::IndexOfName(const std::string& Name) const
{
    for (size_t i = 0; i < FLines.size(); ++i) {
        const std::string& line = FLines[i];
        const size_t colon = line.find(':');
        if (colon == std::string::npos || colon != Name.size())
            continue;
        if (plat::EqualNoCase(std::string_view(line).substr(0, colon), Name))
            return static_cast<int>(i);
    }
    return -1;
}

void TExStringList::SetValue(const std::string& Name, const std::string& Value)
{
    const int index = IndexOfName(Name);
    if (Value.empty()) {
        if (index >= 0)
            FLines.erase(FLines.begin() + index);
        return;
    }
    std::string line = Name + ": " + Value;
    if (index >= 0)
        FLines[static_cast<size_t>(index)] = std::move(line);
    else
        FLines.push_back(std::move(line));
}

std::string TExStringList::GetValue(const std::string& Name) const
{
    const int index = IndexOfName(Name);
    if (index < 0)
        return {};
    const std::string& line = FLines[static_cast<size_t>(index)];
    size_t start = Name.size() + 1;
    if (start < line.size() && line[start] == ' ')
        ++start;
    return line.substr(start);
}

std::string TExStringList::Text() const
{
    std::string text;
    for (const std::string& line : FLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
