// The key file's text form: what people and other programs write must be read right, what this
// program writes must read back the same, and anything else must fail with the line it is on.
#include "platform/registry/RegText.h"

#include <gtest/gtest.h>

namespace {

using namespace plat;

const std::string kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver";
const std::string kHead = "REGEDIT4\n\n[" + kKey + "]\n";

RegKeyData MustParse(const std::string& Text)
{
    RegKeyData Data;
    RegParseError Error;
    EXPECT_TRUE(ParseRegText(Text, kKey, Data, Error)) << Error.Line << ": " << Error.Message;
    return Data;
}

RegParseError MustFail(const std::string& Text)
{
    RegKeyData Data;
    Data.Set("Untouched", RegDword, DwordData(1));
    RegParseError Error;
    EXPECT_FALSE(ParseRegText(Text, kKey, Data, Error)) << Text;
    EXPECT_NE(Data.Find("Untouched"), nullptr) << "a failed parse changed its output";
    return Error;
}

TEST(RegText, ReadsEveryFormTheEditorWrites)
{
    const RegKeyData Data = MustParse(kHead +
                                      "\"Brightness\"=dword:00000100\n"
                                      "\"Neg\"=dword:FFFFFFFF\n"
                                      "\"TDegree\"=\"f\"\n"
                                      "\"Path\"=hex(2):25,00,41,00\n"
                                      "\"Blob\"=hex:01,02,\\\n"
                                      "  03,04\n"
                                      "@=\"default\"\n");
    ASSERT_NE(Data.Find("Brightness"), nullptr);
    EXPECT_EQ(Data.Find("Brightness")->Data, DwordData(256));
    EXPECT_EQ(Data.Find("Neg")->Data, DwordData(-1));
    EXPECT_EQ(Data.Find("TDegree")->Type, RegSz);
    EXPECT_EQ(TextOfData(Data.Find("TDegree")->Data), "f");
    EXPECT_EQ(Data.Find("Path")->Type, RegExpandSz);
    EXPECT_EQ(Data.Find("Path")->Data, std::string("%\0A\0", 4));
    EXPECT_EQ(Data.Find("Blob")->Type, RegBinary);
    EXPECT_EQ(Data.Find("Blob")->Data, "\x01\x02\x03\x04");
    EXPECT_EQ(TextOfData(Data.Find("")->Data), "default");
}

TEST(RegText, AcceptsWindowsLineEndsCommentsAndAnyCase)
{
    const RegKeyData Data =
        MustParse("REGEDIT4\r\n\r\n; kept by hand\r\n[hkey_current_user\\software\\kestrin software\\"
                  "solvane screensaver]\r\n\"ShowTime\" = DWORD:1\r\n");
    ASSERT_NE(Data.Find("showtime"), nullptr);
    EXPECT_EQ(Data.Find("SHOWTIME")->Data, DwordData(1));
}

TEST(RegText, LastLineWithoutLineEndIsReadWhenWhole)
{
    const RegKeyData Data = MustParse(kHead + "\"A\"=dword:00000001\n\"B\"=\"text\"");
    EXPECT_EQ(TextOfData(Data.Find("B")->Data), "text");
    EXPECT_EQ(MustParse(kHead + "\"A\"=dword:00000001").Find("A")->Data, DwordData(1));
    EXPECT_EQ(MustFail(kHead + "\"A\"=dword:0000001").Line, 4);
    EXPECT_EQ(MustParse(kHead + "\"A\"=dword:1\n").Find("A")->Data, DwordData(1));
}

TEST(RegText, NewerFormatGetsItsOwnMessageAndUtf8MarkIsSkipped)
{
    const std::string Newer = "Windows Registry Editor Version 5.00\n";
    EXPECT_NE(MustFail(Newer).Message.find("newer export format"), std::string::npos);
    EXPECT_NE(MustFail(std::string("\xFF\xFEW\0i\0", 6)).Message.find("newer export format"), std::string::npos);
    EXPECT_NE(MustParse("\xEF\xBB\xBF" + kHead + "\"A\"=dword:1\n").Find("A"), nullptr);
}

TEST(RegText, LaterValueOfTheSameNameWins)
{
    const RegKeyData Data = MustParse(kHead + "\"A\"=dword:1\n\"a\"=dword:2\n");
    ASSERT_EQ(Data.Values().size(), 1u);
    EXPECT_EQ(Data.Values()[0].Name, "A");
    EXPECT_EQ(Data.Values()[0].Data, DwordData(2));
}

TEST(RegText, WrittenTextReadsBackTheSame)
{
    RegKeyData Data;
    Data.Set("Quote\"And\\Slash", RegSz, TextData("a \"b\" c:\\d\\"));
    Data.Set("High", RegSz, TextData("\x80\xFF\xE9"));
    Data.Set("Lines", RegSz, TextData("one\r\ntwo\n"));
    Data.Set("Zero", RegSz, TextData(std::string("a\0b", 3)));
    Data.Set("Dword", RegDword, DwordData(INT32_MIN));
    Data.Set("Multi", 7, std::string("a\0b\0\0", 5));
    Data.Set("Long", RegBinary, std::string(300, '\x5A'));
    Data.Set("", RegSz, TextData("default"));
    const std::string Text = FormatRegText(kKey, Data);
    const RegKeyData Back = MustParse(Text);
    ASSERT_EQ(Back.Values().size(), Data.Values().size());
    for (size_t I = 0; I < Data.Values().size(); ++I) {
        EXPECT_EQ(Back.Values()[I].Name, Data.Values()[I].Name);
        EXPECT_EQ(Back.Values()[I].Type, Data.Values()[I].Type);
        EXPECT_EQ(Back.Values()[I].Data, Data.Values()[I].Data) << Data.Values()[I].Name;
    }
    EXPECT_EQ(FormatRegText(kKey, Back), Text);
}

TEST(RegText, WritesTheEditorsForms)
{
    RegKeyData Data;
    Data.Set("Brightness", RegDword, DwordData(256));
    Data.Set("TDegree", RegSz, TextData("f"));
    Data.Set("Lines", RegSz, TextData("a\nb"));
    EXPECT_EQ(FormatRegText(kKey, Data),
              kHead +
                  "\"Brightness\"=dword:00000100\n"
                  "\"TDegree\"=\"f\"\n"
                  "\"Lines\"=hex(1):61,0a,62,00\n\n");
}

TEST(RegText, LongByteListsWrapIntoShortLines)
{
    RegKeyData Data;
    Data.Set("Long", RegBinary, std::string(100, '\x01'));
    const std::string Text = FormatRegText(kKey, Data);
    size_t Start = 0;
    while (Start < Text.size()) {
        const size_t End = Text.find('\n', Start);
        EXPECT_LE(End - Start, 80u);
        Start = End + 1;
    }
}

TEST(RegText, FailuresNameTheLine)
{
    EXPECT_EQ(MustFail("").Line, 1);
    EXPECT_EQ(MustFail(kHead + "\"A\"=dword:1\nnonsense\n").Line, 5);
    EXPECT_EQ(MustFail(kHead + "\"A\"=dword:123456789\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=dword:\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=dword:12 trailing\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=\"open\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=\"bad \\n escape\"\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=hex:01,zz\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=hex:01,2\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=hex:01,\\\n 02,\\\n 3\n").Line, 6);
    EXPECT_EQ(MustFail(kHead + "\"A\"=hex:01,\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=hex:01,\\\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=hex(2:01\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=-\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "A=dword:1\n").Line, 4);
    EXPECT_EQ(MustFail(kHead + "\"A\"=\"x\"\n[" + kKey + "]\n").Line, 5);
    EXPECT_EQ(MustFail("REGEDIT4\n\"A\"=dword:1\n").Line, 2);
    EXPECT_EQ(MustFail("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Other]\n").Line, 3);
    EXPECT_EQ(MustFail("REGEDIT4\n\n").Line, 2);
}

TEST(RegText, TruncatedFileFails)
{
    RegKeyData Data;
    Data.Set("Brightness", RegDword, DwordData(256));
    Data.Set("RSS_Url", RegSz, TextData("http://example.org/rss"));
    Data.Set("Path", RegExpandSz, TextData("%HOME%"));
    const std::string Text = FormatRegText(kKey, Data);
    // Every cut inside a line must be noticed; cuts at line ends lose whole lines, which the text
    // form cannot tell from a shorter key.
    for (size_t Cut = 0; Cut < Text.size(); ++Cut) {
        if (Text[Cut] == '\n' || (Cut > 0 && Text[Cut - 1] == '\n'))
            continue;
        RegKeyData Out;
        RegParseError Error;
        EXPECT_FALSE(ParseRegText(Text.substr(0, Cut), kKey, Out, Error)) << Cut;
    }
}

}  // namespace
