// The built-in news channel directory: the categories and channels the News page offers when the
// online directory cannot be reached. The data is the built-in resource "NEWSDIRECTORY"
// (assets/tables/newsdirectory.txt): "[Category]" lines, each followed by "Title | address"
// lines; blank lines and lines starting with "#" are skipped, as are channel lines before the
// first category or without " | ". Plain C++, so the dialog and the tools can both read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TNewsChannel {
    std::string Title;
    std::string Address;
};

struct TNewsCategory {
    std::string Name;
    std::vector<TNewsChannel> Channels;
};

std::vector<TNewsCategory> ReadNewsDirectory(std::string_view Text);
std::vector<TNewsCategory> BuiltInNewsDirectory();
