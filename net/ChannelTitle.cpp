// The channel checks of the settings dialog (NewsFeed.h), apart from the ticker's reader so that
// the dialog does not link the gadgets.
#include "net/AtomFeed.h"
#include "net/Httpclient.h"
#include "net/NewsFeed.h"
#include "net/TextCut.h"

bool OpensAsFeed(std::string_view Body)
{
    std::string_view token, root;
    CutBetween(Body, "<?", " ", token);
    CutBetween(Body, "<", " ", root);
    return token == "xml" || root == "rss" || RootElement(Body) == "feed";
}

std::string ReadChannelTitle(std::string_view Body)
{
    std::string_view title = "Not Available";
    if (OpensAsFeed(Body) && RootElement(Body) == "feed")
        return ReadAtom(Body, 0).Title;
    if (OpensAsFeed(Body)) {
        title = {};
        CutBetween(Body, "<title>", "</title>", title);
    }
    return DecodeEntities(CleanCData(title));
}

std::string FetchChannelTitle(THttpClient& HTTP1, const std::string& Url)
{
    std::string title;
    const std::string failure = CatchSocketErrors(HTTP1, [&] {
        GetFeedBody(HTTP1, Url);
        title = ReadChannelTitle(HTTP1.Body);
    });
    return failure.empty() ? title : ReadChannelTitle("");
}
