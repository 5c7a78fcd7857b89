// Fuzzes the news reader with arbitrary bytes as the reply body: it must hand over texts without
// control bytes (decoding turns them into blanks) and never fail, and the dialog's channel title
// must come out the same way.
#include "net/FeedValues.h"
#include "net/NewsFeed.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct TTexts : TNewsValues {
    std::string NameNews, RssLine;
    void SetNameNews(const std::string& Text) override { NameNews = Text; }
    void SetRssLine(const std::string& Text) override { RssLine = Text; }
};

bool HasControlBytes(const std::string& Text)
{
    for (const unsigned char byte : Text)
        if (byte < 32)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view body(reinterpret_cast<const char*>(Data), Size);
    TTexts texts;
    std::string newsLink = "http://old/";
    ReadNews(body, texts, newsLink);
    if (HasControlBytes(texts.NameNews) || HasControlBytes(texts.RssLine) || newsLink.size() > Size + 11 ||
        HasControlBytes(ReadChannelTitle(body)))
        std::abort();
    return 0;
}
