// The documents of the online news channel directory, read without an XML parser: the category
// list ("/rssdir/category.php") and the channel list of one category
// ("/rssdir/rsslist.php?category_id=<id>"). A document counts only when the text between its
// first "<" and the next blank is its root element's name ("categories", "rsslist"), so one that
// opens with an XML declaration, or anything else, lists nothing. Each "<item>" … "</item>" gives
// one entry: the text between the name markers and the text between the value markers, as
// written (an item without one of them gives an empty text there).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TDirectoryEntry {
    std::string_view Name;  // category name, or channel title
    std::string_view Value;  // category identifier, or channel address
};

// The directory server's address of the category list.
std::string CategoryListUrl();
// The address of the channel list of the category with the identifier Id, percent-encoded.
std::string ChannelListUrl(std::string_view Id);

// The entries are views into Body.
std::vector<TDirectoryEntry> ReadCategories(std::string_view Body);
std::vector<TDirectoryEntry> ReadChannels(std::string_view Body);
