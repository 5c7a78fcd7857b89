// A ticker line as the news reader assembles it from a feed of Titles item titles: some 60
// characters a title, so 700 titles make a line of over 40,000 characters.
#pragma once

#include <string>

namespace gadgettest {

inline std::string TickerLine(int Titles)
{
    std::string Line;
    for (int Title = 0; Title < Titles; ++Title)
        Line += "Harbour news item " + std::to_string(Title) + ": the ferries run late again today  ***  ";
    return Line;
}

}  // namespace gadgettest
