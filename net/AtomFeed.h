// Atom feeds, read as text the way RSS feeds are: the document's root element is "feed"; the
// channel title is the first "<title…>" before the first "<entry>", the link the href of the
// first "<link…>" there whose rel is absent or "alternate", and each entry's first "<title…>"
// is one item of the line. A title whose type is "html" or "xhtml" has its entities decoded and
// then its markup removed; other titles stay as written, for the line's own decoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The name of the document's root element: the first tag after any declaration, processing
// instruction, comment or doctype ("rss", "feed", ...).
std::string_view RootElement(std::string_view Body);

struct TAtomFeed {
    std::string Title;  // decoded once (as the RSS channel title is)
    std::string Link;  // as written
    std::vector<std::string> ItemTitles;
};

// Entry titles are read until their bytes together pass MaxTitleBytes (a reader that shows no
// more need not copy a huge feed's every title).
TAtomFeed ReadAtom(std::string_view Body, size_t MaxTitleBytes);
