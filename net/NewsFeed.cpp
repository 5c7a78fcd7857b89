#include "net/NewsFeed.h"

#include "engine/KssSettings.h"
#include "net/AtomFeed.h"
#include "net/FeedValues.h"
#include "net/Httpclient.h"
#include "net/NewsDirectory.h"
#include "net/TextCut.h"

namespace {

constexpr std::string_view kLineMark = "  ***  ";

// "  ***  " and each item's title followed by "  ***  ", as written in the feed.
std::string ItemLine(std::string_view Body, int& Items)
{
    std::string line(kLineMark);
    std::string_view item;
    for (;;) {
        Body = CutBetween(Body, "<item>", "</item>", item);
        if (Body == kCutEnd)
            return line;
        std::string_view title;
        if (CutBetween(item, "<title>", "</title>", title) == kCutEnd)
            continue;
        line.append(title);
        line.append(kLineMark);
        ++Items;
    }
}

int ReadAtomNews(std::string_view Body, TNewsValues& News, std::string& NewsLink)
{
    const TAtomFeed feed = ReadAtom(Body);
    if (!feed.Link.empty())
        NewsLink = feed.Link;
    News.SetNameNews(feed.Title);
    std::string line(kLineMark);
    for (const std::string& title : feed.ItemTitles) {
        line += title;
        line += kLineMark;
    }
    News.SetRssLine(DecodeEntities(DecodeEntities(CleanCData(line))));
    return static_cast<int>(feed.ItemTitles.size());
}

// The built-in directory's World channels, for a default address that yields nothing.
std::vector<std::string> FallbackChannels()
{
    std::vector<std::string> addresses;
    for (const TNewsCategory& category : BuiltInNewsDirectory())
        if (category.Name == "World")
            for (const TNewsChannel& channel : category.Channels)
                addresses.push_back(channel.Address);
    return addresses;
}

}  // namespace

std::string FetchNews(THttpClient& HTTP1, const TFeedSettings& Settings, TNewsValues& News, std::string& NewsLink,
                      const std::function<bool()>& Stopped)
{
    int items = -1;
    auto read = [&](const std::string& Body) { items = ReadNews(Body, News, NewsLink); };
    const std::string error = FetchFeed(HTTP1, Settings, Settings.RSS_Url, read);
    if (items > 0 || Settings.RSS_Url != DefaultRssUrl())
        return error;
    for (const std::string& address : FallbackChannels()) {
        if (Stopped && Stopped())
            break;
        FetchFeed(HTTP1, Settings, address, read);
        if (items > 0)
            return {};
    }
    return error;
}

int ReadNews(std::string_view Body, TNewsValues& News, std::string& NewsLink)
{
    if (!OpensAsFeed(Body)) {
        News.SetRssLine(kNewsNotAvailable);
        return -1;
    }
    if (RootElement(Body) == "feed")
        return ReadAtomNews(Body, News, NewsLink);
    std::string_view title;
    std::string_view body = CutBetween(Body, "<title>", "</title>", title);
    std::string_view link = NewsLink;
    body = CutBetween(body, "<link>", "</link>", link);
    NewsLink = CleanCData(link);
    News.SetNameNews(DecodeEntities(CleanCData(title)));
    int items = 0;
    News.SetRssLine(DecodeEntities(DecodeEntities(CleanCData(ItemLine(body, items)))));
    return items;
}
