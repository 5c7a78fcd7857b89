#include "net/NewsFeed.h"

#include "engine/KssSettings.h"
#include "net/AtomFeed.h"
#include "net/FeedValues.h"
#include "net/Httpclient.h"
#include "net/NewsDirectory.h"
#include "net/TextCut.h"

namespace {

constexpr std::string_view kLineMark = "  ***  ";

// The ticker's line as the feed writes it: "  ***  " and each title followed by "  ***  ", whole
// titles while they fit kMaxTickerLineBytes (decoding only shortens them); a first title longer
// than that is cut at a character's end.
class TItemLine {
public:
    // False once the line is full: later titles would not be shown.
    bool Add(std::string_view Title)
    {
        const size_t used = FLine.size() + kLineMark.size();
        const size_t room = used < kMaxTickerLineBytes ? kMaxTickerLineBytes - used : 0;
        if (FFull || (Title.size() > room && FItems > 0))
            return !(FFull = true);
        FLine.append(Utf8Prefix(Title, room));
        FLine.append(kLineMark);
        ++FItems;
        FFull = Title.size() > room;
        return !FFull;
    }
    std::string Decoded() const { return DecodeEntities(DecodeEntities(CleanCData(FLine))); }
    int Items() const { return FItems; }

private:
    std::string FLine{kLineMark};
    int FItems = 0;
    bool FFull = false;
};

TItemLine ItemLine(std::string_view Body)
{
    TItemLine line;
    std::string_view item;
    for (;;) {
        Body = CutBetween(Body, "<item>", "</item>", item);
        std::string_view title;
        if (Body == kCutEnd)
            return line;
        if (CutBetween(item, "<title>", "</title>", title) != kCutEnd && !line.Add(title))
            return line;
    }
}

// The channel's title as the ticker shows it.
std::string TickerTitle(std::string_view Title)
{
    return std::string(Utf8Prefix(Title, kMaxTickerTitleBytes));
}

int ReadAtomNews(std::string_view Body, TNewsValues& News, std::string& NewsLink)
{
    const TAtomFeed feed = ReadAtom(Body, kMaxTickerLineBytes);
    if (!feed.Link.empty())
        NewsLink = feed.Link;
    News.SetNameNews(TickerTitle(feed.Title));
    TItemLine line;
    for (const std::string& title : feed.ItemTitles)
        if (!line.Add(title))
            break;
    News.SetRssLine(line.Decoded());
    return line.Items();
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
    News.SetNameNews(TickerTitle(DecodeEntities(CleanCData(Utf8Prefix(title, kMaxTickerLineBytes)))));
    const TItemLine line = ItemLine(body);
    News.SetRssLine(line.Decoded());
    return line.Items();
}
