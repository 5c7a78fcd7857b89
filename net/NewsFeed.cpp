#include "net/NewsFeed.h"

#include "gadgets/Kgr.h"
#include "net/Httpclient.h"
#include "net/TextCut.h"

namespace {

constexpr std::string_view kLineMark = "  ***  ";

// "  ***  " and each item's title followed by "  ***  ", as written in the feed.
std::string ItemLine(std::string_view Body)
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
    }
}

}  // namespace

std::string FetchNews(THttpClient& HTTP1, const TFeedSettings& Settings, TKGR& KGR1, std::string& NewsLink)
{
    PrepareFeedClient(HTTP1, Settings.UseProxy, Settings.Proxy, Settings.Port);
    return CatchSocketErrors(HTTP1, [&] {
        HTTP1.Get(Settings.RSS_Url);
        ReadNews(HTTP1.Body, KGR1, NewsLink);
    });
}

void ReadNews(std::string_view Body, TKGR& KGR1, std::string& NewsLink)
{
    if (!OpensAsFeed(Body)) {
        KGR1.SetRssLine(kNewsNotAvailable);
        return;
    }
    std::string_view title;
    std::string_view body = CutBetween(Body, "<title>", "</title>", title);
    std::string_view link = NewsLink;
    body = CutBetween(body, "<link>", "</link>", link);
    NewsLink = CleanCData(link);
    KGR1.SetNameNews(DecodeEntities(CleanCData(title)));
    KGR1.SetRssLine(DecodeEntities(DecodeEntities(CleanCData(ItemLine(body)))));
}
