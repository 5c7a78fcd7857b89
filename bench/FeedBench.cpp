// Reading a large news feed: our reader over a 10 MB RSS document of 20,000 items against expat
// tokenising the same bytes (with element handlers that only count), the yardstick of a real XML
// parser doing the least it can.
#include "gadgets/Kgr.h"
#include "net/NewsFeed.h"

#include <benchmark/benchmark.h>
#include <expat.h>

#include <string>

namespace {

constexpr int kItems = 20000;
constexpr size_t kFeedBytes = 10u << 20;

// A plain RSS 2.0 feed of kItems items padded to about kFeedBytes, with a CDATA title and entities
// in every item, as busy channels write them.
const std::string& TenMegabyteFeed()
{
    static const std::string feed = [] {
        std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                           "<title>Bench &amp; News</title><link>http://bench.test/</link>\n";
        const size_t perItem = kFeedBytes / kItems;
        for (int i = 0; i < kItems; ++i) {
            std::string item = "<item><title><![CDATA[Story " + std::to_string(i) +
                "]]> &amp;quot;quoted&amp;quot; \xE2\x80\x99s</title><link>http://bench.test/" + std::to_string(i) +
                "</link><description>";
            const std::string tail = "</description></item>\n";
            item.append(perItem > item.size() + tail.size() ? perItem - item.size() - tail.size() : 0, 'x');
            text += item + tail;
        }
        return text + "</channel></rss>\n";
    }();
    return feed;
}

void BM_NewsCut10MB(benchmark::State& State)
{
    const std::string& feed = TenMegabyteFeed();
    plat::FontCache fonts;
    for (auto _ : State) {
        TKGR kgr(nullptr, fonts);
        std::string link;
        ReadNews(feed, kgr, link);
        benchmark::DoNotOptimize(kgr.GetRssLine().size());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(feed.size()));
}
BENCHMARK(BM_NewsCut10MB)->Unit(benchmark::kMillisecond);

void BM_ExpatParse10MB(benchmark::State& State)
{
    const std::string& feed = TenMegabyteFeed();
    for (auto _ : State) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        long elements = 0;
        XML_SetUserData(parser, &elements);
        XML_SetElementHandler(
            parser, [](void* Count, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(Count); },
            [](void*, const XML_Char*) {});
        if (XML_Parse(parser, feed.data(), static_cast<int>(feed.size()), 1) != XML_STATUS_OK)
            State.SkipWithError(XML_ErrorString(XML_GetErrorCode(parser)));
        XML_ParserFree(parser);
        benchmark::DoNotOptimize(elements);
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(feed.size()));
}
BENCHMARK(BM_ExpatParse10MB)->Unit(benchmark::kMillisecond);

}  // namespace
