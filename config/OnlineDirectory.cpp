#include "config/OnlineDirectory.h"

#include "engine/HostNames.h"
#include "net/TextCut.h"
#include "net/WebAddress.h"

namespace {

struct TDocumentForm {
    std::string_view Root;
    std::string_view NameStart, NameEnd;
    std::string_view ValueStart, ValueEnd;
};

constexpr TDocumentForm kCategoryList{"categories", "<category>", "</category>", "<id>", "</id>"};
constexpr TDocumentForm kChannelList{"rsslist", "<title>", "</title>", "<url>", "</url>"};

std::vector<TDirectoryEntry> ReadDocument(std::string_view Body, const TDocumentForm& Form)
{
    std::vector<TDirectoryEntry> entries;
    std::string_view root;
    CutBetween(Body, "<", " ", root);
    if (root != Form.Root)
        return entries;
    std::string_view item;
    for (;;) {
        Body = CutBetween(Body, "<item>", "</item>", item);
        if (Body == kCutEnd)
            return entries;
        TDirectoryEntry& entry = entries.emplace_back();
        CutBetween(item, Form.NameStart, Form.NameEnd, entry.Name);
        CutBetween(item, Form.ValueStart, Form.ValueEnd, entry.Value);
    }
}

std::string DirectoryUrl(std::string_view Path)
{
    std::string url = "http://";
    url += hosts::kNewsDirectoryHost;
    url += Path;
    return url;
}

}  // namespace

std::string CategoryListUrl()
{
    return DirectoryUrl("/rssdir/category.php");
}

std::string ChannelListUrl(std::string_view Id)
{
    std::string url = DirectoryUrl("/rssdir/rsslist.php?category_id=");
    // The identifier comes from the directory's reply: escaped, it stays one value of the query.
    url += PercentEncode(Id);
    return url;
}

std::vector<TDirectoryEntry> ReadCategories(std::string_view Body)
{
    return ReadDocument(Body, kCategoryList);
}

std::vector<TDirectoryEntry> ReadChannels(std::string_view Body)
{
    return ReadDocument(Body, kChannelList);
}
