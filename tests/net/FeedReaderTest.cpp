// The weather and news readers over reply bodies: what each hands over, in which cases the
// not-available values come, and feeds of the shapes found in the wild.
#include "engine/StrToInt.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "net/NewsFeed.h"
#include "net/TextCut.h"
#include "net/WeatherFeed.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TWeather {
    int32_t TodayCode, TomorrowCode;
    std::string TodayNow, TomorrowLow, TomorrowHi;
    bool operator==(const TWeather&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TWeather& W)
{
    return Out << W.TodayCode << " " << W.TodayNow << " " << W.TomorrowCode << " " << W.TomorrowLow << " "
               << W.TomorrowHi;
}

TWeather Values(const TKGW& KGW1)
{
    return {KGW1.GetTodayCode(), KGW1.GetTomorrowCode(), KGW1.GetTodayNow(), KGW1.GetTomorrowLow(),
            KGW1.GetTomorrowHi()};
}

std::string Condition(const std::string& Code, const std::string& Temp)
{
    return "<yweather:condition text=\"Fair\" code=\"" + Code + "\" temp=\"" + Temp + "\" />\n";
}

std::string Forecast(const std::string& Low, const std::string& High, const std::string& Code)
{
    return "<yweather:forecast day=\"Mon\" low=\"" + Low + "\" high=\"" + High + "\" code=\"" + Code + "\" />\n";
}

const std::string kXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<rss version=\"2.0\">";

TEST(WeatherReader, HandsOverTodayAndTomorrow)
{
    plat::FontCache fonts;
    TKGW kgw(nullptr, fonts);
    ReadWeather(kXml + Condition("34", "59") + Forecast("47", "62", "30") + Forecast("45", "60", "11"), kgw);
    EXPECT_EQ(Values(kgw), (TWeather{34, 11, "59", "45", "60"}));

    // One forecast stands for tomorrow too; a second one without a code repeats today's code;
    // missing temperatures hand over empty texts.
    ReadWeather(kXml + Condition("34", "59") + Forecast("47", "62", "30"), kgw);
    EXPECT_EQ(Values(kgw), (TWeather{34, 30, "59", "47", "62"}));
    ReadWeather(kXml + Condition("26", "-3") + Forecast("1", "2", "3") + "<yweather:forecast low=\"5\"/>", kgw);
    EXPECT_EQ(Values(kgw), (TWeather{26, 26, "-3", "5", ""}));
    ReadWeather(kXml + "<yweather:condition code=\"4\"/>" + Forecast("1", "2", "3") + Forecast("x", "y", "5"), kgw);
    EXPECT_EQ(Values(kgw), (TWeather{4, 5, "", "x", "y"}));
}

TEST(WeatherReader, NotXmlGivesNotAvailable)
{
    const std::vector<std::string> bodies = {"", "<html><body>502 Bad Gateway</body></html>", "<?xml-stylesheet?>",
                                             "<?XML version=\"1.0\"?>" + Condition("1", "2")};
    for (const std::string& body : bodies) {
        plat::FontCache fonts;
        TKGW kgw(nullptr, fonts);
        ReadWeather(kXml + Condition("1", "2") + Forecast("3", "4", "5") + Forecast("6", "7", "8"), kgw);
        ReadWeather(body, kgw);
        EXPECT_EQ(Values(kgw), (TWeather{48, 48, "NA", "NA", "NA"})) << body;
    }
}

TEST(WeatherReader, CodeThatIsNotANumberStopsAfterWhatCameBefore)
{
    plat::FontCache fonts;
    TKGW kgw(nullptr, fonts);
    EXPECT_THROW(ReadWeather(kXml + Condition("3", "50") + Forecast("1", "2", "3") + Forecast("1", "2", "x"), kgw),
                 EConvertError);
    EXPECT_EQ(Values(kgw), (TWeather{3, 48, "NA", "NA", "NA"}));
    EXPECT_THROW(ReadWeather(kXml + Condition("3.5", "50"), kgw), EConvertError);
    // XML without the condition element: the token still holds "xml".
    try {
        ReadWeather(kXml + "<channel/>", kgw);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'xml' is not a valid integer value");
    }
}

std::string Rss(const std::string& Channel, const std::string& Items)
{
    return kXml + "<channel>" + Channel + Items + "</channel></rss>";
}

std::string Item(const std::string& Title)
{
    return "<item><title>" + Title + "</title><link>http://n/1</link></item>\n";
}

struct TNews {
    std::string NameNews, NewsLink, RssLine;
    bool operator==(const TNews&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TNews& N)
{
    return Out << "[" << N.NameNews << "] [" << N.NewsLink << "] [" << N.RssLine << "]";
}

TNews ReadNewsFrom(const std::string& Body, std::string NewsLink = "", const std::string& NameNews = "")
{
    plat::FontCache fonts;
    TKGR kgr(nullptr, fonts);
    kgr.SetNameNews(NameNews);
    ReadNews(Body, kgr, NewsLink);
    return {kgr.GetNameNews(), NewsLink, kgr.GetRssLine()};
}

TEST(NewsReader, TitleLinkAndItemLine)
{
    EXPECT_EQ(ReadNewsFrom(Rss("<title><![CDATA[World &amp; News]]></title><link>http://n/?a=1&amp;b=2</link>",
                               Item("A &amp;quot;B&amp;quot;") + Item("C\xE2\x80\x99s") + Item("Q&amp;A; more"))),
              (TNews{"World & News", "http://n/?a=1&amp;b=2", "  ***  A \"B\"  ***  C's  ***  Q&A; more  ***  "}));
    // Line breaks become blanks, the last one included; high bytes pass unchanged.
    EXPECT_EQ(ReadNewsFrom(Rss("<title>Two\nlines\n</title><link>l</link>", Item("caf\xC3\xA9\r\nbar\n"))),
              (TNews{"Two lines ", "l", "  ***  caf\xC3\xA9  bar   ***  "}));
}

TEST(NewsReader, MissingPartsAndOtherDocuments)
{
    // Not a feed: only the line changes.
    EXPECT_EQ(ReadNewsFrom("<html><title>Oops</title></html>", "old", "Old"),
              (TNews{"Old", "old", "*** Not Available Now ***"}));
    // No items; an item without a title adds nothing.
    EXPECT_EQ(ReadNewsFrom(Rss("<title>T</title><link>l</link>", "")), (TNews{"T", "l", "  ***  "}));
    EXPECT_EQ(ReadNewsFrom(Rss("<title>T</title><link>l</link>", "<item><link>x</link></item>" + Item("B"))),
              (TNews{"T", "l", "  ***  B  ***  "}));
    // Upper-case tags: the title cut ends the document.
    EXPECT_EQ(ReadNewsFrom("<rss version=\"2.0\"><TITLE>T</TITLE><LINK>l</LINK><ITEM><TITLE>i</TITLE></ITEM>", "old"),
              (TNews{"", "old", "  ***  "}));
    // No channel link: the first item's is taken and the items are those after it; no link at
    // all: the old one stays and the cut has ended the document.
    EXPECT_EQ(ReadNewsFrom(Rss("<title>T</title>", Item("A") + Item("B")), "old"),
              (TNews{"T", "http://n/1", "  ***  B  ***  "}));
    EXPECT_EQ(ReadNewsFrom(Rss("<title>T</title>", "<item><title>A</title></item>"), "old"),
              (TNews{"T", "old", "  ***  "}));
}

TEST(NewsReader, ChannelTitleForTheDialog)
{
    EXPECT_EQ(ReadChannelTitle(Rss("<title>Daily &lt;News&gt; &eacute;</title>", "")), "Daily <News> \xC3\xA9");
    EXPECT_EQ(ReadChannelTitle("<rss version=\"0.92\"><channel></channel></rss>"), "");
    EXPECT_EQ(ReadChannelTitle("<!DOCTYPE html><title>x</title>"), "Not Available");
}

TEST(NewsReader, FeedsOfTheShapesFoundInTheWild)
{
    const std::string rss091 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD "
        "RSS 0.91//EN\" \"http://my.netscape.com/publish/formats/rss-0.91.dtd\">\n<rss version=\"0.91\"><channel>"
        "<title>Caf\xE9 Zeitung</title><link>http://z/</link><language>de</language><image><title>Logo</title>"
        "</image><item><title>M\xFCnchen &amp;amp; Umland</title></item></channel></rss>";
    // The image's title lies before the first item, so it is not one of them.
    EXPECT_EQ(ReadNewsFrom(rss091), (TNews{"Caf\xE9 Zeitung", "http://z/", "  ***  M\xFCnchen & Umland  ***  "}));

    const std::string rss092 = "<rss version=\"0.92\">\r\n<channel>\r\n<title>Ninety-two</title>\r\n<link>http://9/"
                               "</link>\r\n<item>\r\n<title>First&#8217;s</title>\r\n<enclosure url=\"e\"/>"
                               "</item>\r\n<item><description>no title</description></item>\r\n</channel></rss>";
    EXPECT_EQ(ReadNewsFrom(rss092), (TNews{"Ninety-two", "http://9/", "  ***  First\xE2\x80\x99s  ***  "}));

    // RSS 1.0 writes its items with attributes, which the reader does not take for items.
    const std::string rss10 =
        "<?xml version=\"1.0\"?><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
        "xmlns=\"http://purl.org/rss/1.0/\"><channel rdf:about=\"http://r/\"><title>RDF site</title>"
        "<link>http://r/</link></channel><item rdf:about=\"http://r/1\"><title>one</title></item></rdf:RDF>";
    EXPECT_EQ(ReadNewsFrom(rss10), (TNews{"RDF site", "http://r/", "  ***  "}));

    const std::string rss20 = Rss("<title><![CDATA[Tech & Science]]></title><link><![CDATA[http://t/?x=1&y=2]]></link>",
                                  Item("&amp;lt;tag&amp;gt;") + Item("<![CDATA[Chips: 5 > 3 & <b>bold</b>]]>"));
    EXPECT_EQ(ReadNewsFrom(rss20),
              (TNews{"Tech & Science", "http://t/?x=1&y=2", "  ***  <tag>  ***  Chips: 5 > 3 & <b>bold</b>  ***  "}));
}

// Atom: the title and the alternate link before the first entry, each entry's first title;
// titles of type html and xhtml lose their markup once their entities are decoded.
TEST(NewsReader, AtomFeeds)
{
    const std::string plain =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- made by hand --><feed xmlns=\"http://www.w3.org/2005/Atom\">"
        "<title>Videos &amp; more</title><link rel=\"self\" href=\"http://a/feed\"/>"
        "<link rel=\"alternate\" href=\"http://a/?c=1&amp;d=2\"/><author><name>A</name></author>"
        "<entry><id>1</id><title>First &amp;amp; best</title><link href=\"http://a/1\"/></entry>"
        "<entry xml:lang=\"en\"><title type=\"text\">Second</title><summary><title>not this</title></summary>"
        "</entry><entry><id>3</id></entry></feed>";
    EXPECT_EQ(ReadNewsFrom(plain, "old"),
              (TNews{"Videos & more", "http://a/?c=1&amp;d=2", "  ***  First & best  ***  Second  ***  "}));
    EXPECT_EQ(ReadChannelTitle(plain), "Videos & more");

    const std::string html = "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title type=\"html\">&lt;b&gt;Blog&lt;/b&gt;"
                             "</title><link href=\"https://b/\"></link><entry><title type=\"html\">A &amp;lt;b&amp;gt;"
                             "bold&amp;lt;/b&amp;gt; &lt;i&gt;move&lt;/i&gt;</title></entry>"
                             "<entry><title type='html'>AT&amp;amp;T</title></entry></feed>";
    EXPECT_EQ(ReadNewsFrom(html), (TNews{"Blog", "https://b/", "  ***  A <b>bold</b> move  ***  AT&T  ***  "}));

    const std::string xhtml = "<?xml version=\"1.0\"?><feed><title>X</title><entry><title type=\"xhtml\">"
                              "<div xmlns=\"http://www.w3.org/1999/xhtml\">Less <b>is</b> &amp; more</div></title>"
                              "</entry></feed>";
    EXPECT_EQ(ReadNewsFrom(xhtml, "old"), (TNews{"X", "old", "  ***  Less is & more  ***  "}));
}

TEST(NewsReader, LargeFeedKeepsEveryTitle)
{
    std::string items;
    std::string expected = "  ***  ";
    const std::string description = "<description>" + std::string(2200, 'd') + "</description>";
    for (int i = 0; i < 700; ++i) {
        const std::string title = "Story " + std::to_string(i) + " &amp; more";
        items += "<item><title>" + title + "</title>" + description + "</item>\n";
        expected += "Story " + std::to_string(i) + " & more  ***  ";
    }
    const std::string body = Rss("<title>Big</title><link>http://b/</link>", items);
    ASSERT_GT(body.size(), 1500000u);
    EXPECT_EQ(ReadNewsFrom(body), (TNews{"Big", "http://b/", expected}));
}

// A feed of any size gives the ticker what it can show: whole titles within 64 KiB, a first title
// longer than that cut at a character's end, a channel title's first KiB.
TEST(NewsReader, TheTickerHoldsWhatItCanShow)
{
    std::string items;
    for (int i = 0; items.size() < (15u << 20); ++i)
        items += Item("Story " + std::to_string(i) + " of a feed that goes on and on");
    const std::string huge = Rss("<title>" + std::string(5000, 't') + "</title><link>l</link>", items);
    plat::FontCache fonts;
    TKGR kgr(nullptr, fonts);
    std::string link;
    const int shown = ReadNews(huge, kgr, link);
    EXPECT_GT(shown, 1000);
    EXPECT_LE(kgr.GetRssLine().size(), kMaxTickerLineBytes);
    EXPECT_EQ(kgr.GetRssLine().find("Story " + std::to_string(shown) + " "), std::string::npos);
    EXPECT_NE(
        kgr.GetRssLine().find("***  Story " + std::to_string(shown - 1) + " of a feed that goes on and on  ***  "),
        std::string::npos);
    EXPECT_EQ(kgr.GetNameNews(), std::string(kMaxTickerTitleBytes, 't'));

    std::string euros;
    for (int i = 0; i < 30000; ++i)
        euros += "\xE2\x82\xAC";
    const TNews one = ReadNewsFrom(Rss("<title>T</title><link>l</link>", Item(euros) + Item("second")));
    EXPECT_EQ(one.RssLine.size(), kMaxTickerLineBytes - 2);
    EXPECT_EQ(WellFormedUtf8(one.RssLine), one.RssLine);
}

}  // namespace
