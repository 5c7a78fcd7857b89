#include "net/NewsDirectory.h"

#include "assets/Resources.h"

namespace {

std::string_view Trimmed(std::string_view Text)
{
    const size_t first = Text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(" \t\r") - first + 1);
}

void ReadLine(std::string_view Line, std::vector<TNewsCategory>& Directory)
{
    if (Line.empty() || Line.front() == '#')
        return;
    if (Line.front() == '[' && Line.back() == ']') {
        Directory.push_back({std::string(Trimmed(Line.substr(1, Line.size() - 2))), {}});
        return;
    }
    const size_t bar = Line.find(" | ");
    if (Directory.empty() || bar == std::string_view::npos)
        return;
    Directory.back().Channels.push_back(
        {std::string(Trimmed(Line.substr(0, bar))), std::string(Trimmed(Line.substr(bar + 3)))});
}

}  // namespace

std::vector<TNewsCategory> ReadNewsDirectory(std::string_view Text)
{
    std::vector<TNewsCategory> directory;
    while (!Text.empty()) {
        const size_t end = Text.find('\n');
        ReadLine(Trimmed(Text.substr(0, end)), directory);
        Text = end == std::string_view::npos ? std::string_view() : Text.substr(end + 1);
    }
    return directory;
}

std::vector<TNewsCategory> BuiltInNewsDirectory()
{
    const auto bytes = assets::FindResource("NEWSDIRECTORY");
    return ReadNewsDirectory(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
