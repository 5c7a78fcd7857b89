// The text cutters: the remainders and values of CutBetween, the four clean-ups in their order,
// and entity decoding with its fixed choices for names outside the feed table.
#include "net/TextCut.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCut, CutBetweenValuesAndRemainders)
{
    std::string_view value = "old";
    EXPECT_EQ(CutBetween("a<title>T</title>b", "<title>", "</title>", value), "/title>b");
    EXPECT_EQ(value, "T");
    // Either marker missing: "FIN", the value untouched.
    value = "old";
    EXPECT_EQ(CutBetween("<TITLE>T</TITLE>", "<title>", "</title>", value), "FIN");
    EXPECT_EQ(CutBetween("<title>T", "<title>", "</title>", value), "FIN");
    EXPECT_EQ(value, "old");
    // A one-byte end marker leaves nothing of itself in the remainder.
    EXPECT_EQ(CutBetween("code=\"34\" temp=\"59\"", "code=\"", "\"", value), " temp=\"59\"");
    EXPECT_EQ(value, "34");
    // The end is searched only after the start.
    EXPECT_EQ(CutBetween("</b><a>x</b>", "<a>", "</b>", value), "/b>");
    EXPECT_EQ(value, "x");
}

TEST(TextCut, CleanCDataReplacesInOrderWithoutRescanning)
{
    EXPECT_EQ(CleanCData("<![CDATA[C\xE2\x80\x99s &amp;#39;x&amp;#39;]]>"), "C's 'x'");
    // Each pass continues after what it replaced; the third pass's joins are not looked at again,
    // but the fourth pass sees what the third one left.
    EXPECT_EQ(CleanCData("<![CDA<![CDATA[TA[x"), "<![CDATA[x");
    EXPECT_EQ(CleanCData("]]<![CDATA[>"), "");
    EXPECT_EQ(CleanCData("\xE2\x80 \x99"), "\xE2\x80 \x99");
}

TEST(TextCut, DecodeEntitiesTableNumbersHtmlAndTheRest)
{
    EXPECT_EQ(DecodeEntities("&quot;&amp;&#039;&apos;&lt;&gt;&#36;&#39;&#038;"), "\"&''<>$'&");
    // Numeric references and HTML 4's names come out as UTF-8.
    EXPECT_EQ(DecodeEntities("&#233;&#xE9;&#XE9;&#8364;&#x1F600;"),
              "\xC3\xA9\xC3\xA9\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(DecodeEntities("&eacute;&Eacute;&nbsp;&euro;&hellip;&thetasym;&yuml;"),
              "\xC3\xA9\xC3\x89\xC2\xA0\xE2\x82\xAC\xE2\x80\xA6\xCF\x91\xC3\xBF");
    // Anything else stays as written: unknown names, 0, surrogates, beyond U+10FFFF, bad digits,
    // a wrong letter case, the text between a lone "&" and a later ";".
    EXPECT_EQ(DecodeEntities("&bogus;&#0;&#xD800;&#x110000;&#12a;&#;&#x;&AMP;&Euro;"),
              "&bogus;&#0;&#xD800;&#x110000;&#12a;&#;&#x;&AMP;&Euro;");
    EXPECT_EQ(DecodeEntities("Tom & Jerry; more"), "Tom & Jerry; more");
    EXPECT_EQ(DecodeEntities("Q&A; more"), "Q&A; more");
    EXPECT_EQ(DecodeEntities("fish &amp; chips & more"), "fish & chips & more");
    // A bare "&" does not swallow the text up to a later entity, and a name is at most 32
    // letters, digits and "#".
    EXPECT_EQ(DecodeEntities("Tom & Jerry  ***  Rock &amp; Roll"), "Tom & Jerry  ***  Rock & Roll");
    EXPECT_EQ(DecodeEntities("a&&amp;b &x-y;&amp;"), "a&&b &x-y;&");
    EXPECT_EQ(DecodeEntities("&" + std::string(32, 'a') + ";"), "&" + std::string(32, 'a') + ";");
    EXPECT_EQ(DecodeEntities("&" + std::string(33, 'a') + ";&lt;"), "&" + std::string(33, 'a') + ";<");
}

TEST(TextCut, DecodeEntitiesBlanksControlBytesAndKeepsHighOnes)
{
    EXPECT_EQ(DecodeEntities("a\tb\r\nc\n"), "a b  c ");
    EXPECT_EQ(DecodeEntities("line&#10;break&#1;"), "line break ");
    EXPECT_EQ(DecodeEntities("caf\xE9 \xC3\xA9\xFF"), "caf\xE9 \xC3\xA9\xFF");
    EXPECT_EQ(DecodeEntities(std::string_view("a\0b", 3)), "a b");
}

}  // namespace
