// The settings load: first-use defaults, the "Brightness" test of whether settings exist, missing
// values, wrong types, and texts that must survive byte for byte.
#include "engine/KssSettings.h"

#include "engine/HostNames.h"
#include "tests/platform/registry/TempConfigHome.h"

#include <filesystem>

namespace {

class KssSettingsTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        Settings.SetBrandName("Kestrin Software");
        Settings.SetSSName("Solvane Screensaver");
    }

    TKssSettings Settings;
};

const std::string kDefaultRss = std::string("https://") + hosts::kNewsHost + "/news?ned=us&topic=w&output=rss";

const std::string kCompleteKey = "\"Brightness\"=dword:00000080\n"
                                 "\"SoundVolume\"=dword:00000040\n"
                                 "\"TDegree\"=\"c\"\n"
                                 "\"WeatherCode\"=\"AFXX0005\"\n"
                                 "\"RSS_Url\"=\"http://example.org/rss\"\n"
                                 "\"ShowTime\"=dword:00000001\n"
                                 "\"ShowWeather\"=dword:00000001\n"
                                 "\"ShowNews\"=dword:00000000\n"
                                 "\"ShowBlack\"=dword:00000001\n"
                                 "\"UseProxy\"=dword:00000001\n"
                                 "\"Proxy\"=\"proxy.local\"\n"
                                 "\"Port\"=\"3128\"\n";

void ExpectDefaults(const TKssSettings& S)
{
    EXPECT_EQ(S.GetRGB(), 256);
    EXPECT_EQ(S.GetVolume(), 200);
    EXPECT_EQ(S.GetTDegree(), "f");
    EXPECT_EQ(S.GetWeatherCode(), "20001");
    EXPECT_EQ(S.GetRSS_Url(), kDefaultRss);
    EXPECT_EQ(S.GetShowTime(), 0);
    EXPECT_EQ(S.GetShowWeather(), 0);
    EXPECT_EQ(S.GetShowNews(), 0);
    EXPECT_EQ(S.GetShowBlack(), 0);
    EXPECT_EQ(S.GetUseProxy(), 0);
    EXPECT_EQ(S.GetProxy(), "");
    EXPECT_EQ(S.GetPort(), "");
    EXPECT_EQ(S.GetWeatherFeed(), "");
}

TEST_F(KssSettingsTest, FirstStartWritesAllTwelveDefaults)
{
    Settings.SetRegistry();
    ExpectDefaults(Settings);

    TKssSettings Reloaded;
    Reloaded.SetBrandName("Kestrin Software");
    Reloaded.SetSSName("Solvane Screensaver");
    Reloaded.SetRegistry();
    ExpectDefaults(Reloaded);

    const std::string Text = ReadFile(KeyFile());
    for (const char* Name : {"Brightness", "SoundVolume", "TDegree", "WeatherCode", "RSS_Url", "ShowTime",
                             "ShowWeather", "ShowNews", "ShowBlack", "UseProxy", "Proxy", "Port"})
        EXPECT_NE(Text.find("\"" + std::string(Name) + "\"="), std::string::npos) << Name;
    EXPECT_NE(Text.find("\"Brightness\"=dword:00000100\n"), std::string::npos);
    EXPECT_NE(Text.find("\"SoundVolume\"=dword:000000c8\n"), std::string::npos);
}

TEST_F(KssSettingsTest, CompleteKeyLoadsEveryValue)
{
    WriteKey(kCompleteKey);
    Settings.SetRegistry();
    EXPECT_EQ(Settings.GetRGB(), 128);
    EXPECT_EQ(Settings.GetVolume(), 64);
    EXPECT_EQ(Settings.GetTDegree(), "c");
    EXPECT_EQ(Settings.GetWeatherCode(), "AFXX0005");
    EXPECT_EQ(Settings.GetRSS_Url(), "http://example.org/rss");
    EXPECT_EQ(Settings.GetShowTime(), 1);
    EXPECT_EQ(Settings.GetShowWeather(), 1);
    EXPECT_EQ(Settings.GetShowNews(), 0);
    EXPECT_EQ(Settings.GetShowBlack(), 1);
    EXPECT_EQ(Settings.GetUseProxy(), 1);
    EXPECT_EQ(Settings.GetProxy(), "proxy.local");
    EXPECT_EQ(Settings.GetPort(), "3128");
    // The twelve values alone: the weather comes from the live source.
    EXPECT_EQ(Settings.GetWeatherFeed(), "");
    WriteKey(kCompleteKey + "\"WeatherFeed\"=\"weather.test\"\n");
    Settings.SetRegistry();
    EXPECT_EQ(Settings.GetWeatherFeed(), "weather.test");
}

TEST_F(KssSettingsTest, KeyWithoutBrightnessIsOverwrittenWithDefaults)
{
    WriteKey("\"SoundVolume\"=dword:00000010\n\"TDegree\"=\"c\"\n\"ShowTime\"=dword:00000001\n");
    Settings.SetRegistry();
    ExpectDefaults(Settings);
    TKssSettings Reloaded;
    Reloaded.SetBrandName("Kestrin Software");
    Reloaded.SetSSName("Solvane Screensaver");
    Reloaded.SetRegistry();
    ExpectDefaults(Reloaded);
}

TEST_F(KssSettingsTest, MissingRssUrlReadsAsEmpty)
{
    std::string Key = kCompleteKey;
    const std::string Line = "\"RSS_Url\"=\"http://example.org/rss\"\n";
    Key.erase(Key.find(Line), Line.size());
    WriteKey(Key);
    EXPECT_NO_THROW(Settings.SetRegistry());
    EXPECT_EQ(Settings.GetRSS_Url(), "");
    EXPECT_EQ(Settings.GetPort(), "3128");
}

TEST_F(KssSettingsTest, MissingShowTimeStopsTheLoadNamingIt)
{
    WriteKey(kCompleteKey);
    Settings.SetRegistry();
    WriteKey("\"Brightness\"=dword:00000011\n\"SoundVolume\"=dword:00000022\n"
             "\"TDegree\"=\"f\"\n\"WeatherCode\"=\"20001\"\n\"RSS_Url\"=\"http://other/rss\"\n"
             "\"ShowWeather\"=dword:00000000\n\"UseProxy\"=dword:00000000\n\"Proxy\"=\"\"\n");
    try {
        Settings.SetRegistry();
        FAIL() << "no error for the missing ShowTime";
    } catch (const ERegistryException& E) {
        EXPECT_STREQ(E.what(), "Failed to get data for 'ShowTime'");
    }
    // Read before the failure: the new values.
    EXPECT_EQ(Settings.GetRGB(), 0x11);
    EXPECT_EQ(Settings.GetVolume(), 0x22);
    EXPECT_EQ(Settings.GetTDegree(), "f");
    EXPECT_EQ(Settings.GetWeatherCode(), "20001");
    EXPECT_EQ(Settings.GetRSS_Url(), "http://other/rss");
    // Not reached: what the first load left.
    EXPECT_EQ(Settings.GetShowTime(), 1);
    EXPECT_EQ(Settings.GetShowWeather(), 1);
    EXPECT_EQ(Settings.GetUseProxy(), 1);
    EXPECT_EQ(Settings.GetProxy(), "proxy.local");
    EXPECT_EQ(Settings.GetPort(), "3128");
}

TEST_F(KssSettingsTest, DwordWrittenAsTextRaisesTypeError)
{
    ASSERT_TRUE(Settings.WriteAKey("ShowTime", "1"));
    int32_t Value = 7;
    try {
        Settings.ReadRKey("ShowTime", Value);
        FAIL() << "no error for a text read as an integer";
    } catch (const ERegistryException& E) {
        EXPECT_STREQ(E.what(), "Invalid data type for 'ShowTime'");
    }
    EXPECT_EQ(Value, 7);
}

TEST_F(KssSettingsTest, TextWrittenAsDwordRaisesTypeError)
{
    ASSERT_TRUE(Settings.WriteRKey("Proxy", 5));
    std::string Value = "kept";
    EXPECT_THROW(Settings.ReadAKey("Proxy", Value), ERegistryException);
    EXPECT_EQ(Value, "kept");
}

TEST_F(KssSettingsTest, ReadersOfAMissingKeyReturnFalseAndLeaveTheValue)
{
    int32_t Number = 42;
    std::string Text = "kept";
    EXPECT_FALSE(Settings.ReadRKey("Brightness", Number));
    EXPECT_FALSE(Settings.ReadAKey("Proxy", Text));
    EXPECT_EQ(Number, 42);
    EXPECT_EQ(Text, "kept");
}

TEST_F(KssSettingsTest, TextsSurviveUnchanged)
{
    const std::string Texts[] = {
        "say \"hi\"",
        "C:\\path\\to\\",
        "\\\"\\\\\"",
        std::string("caf\xE9 \xFF\x80\x81 end"),
        "line one\nline two\r\n",
        std::string("zero\0byte", 9),
        "",
        " leading and trailing ",
    };
    for (const std::string& Text : Texts) {
        ASSERT_TRUE(Settings.WriteAKey("RSS_Url", Text));
        std::string Back = "?";
        ASSERT_TRUE(Settings.ReadAKey("RSS_Url", Back));
        EXPECT_EQ(Back, Text);
    }
}

TEST_F(KssSettingsTest, NegativeAndLargeIntegersKeepTheirSign)
{
    for (int32_t Value : {0, 1, -1, 256, INT32_MIN, INT32_MAX}) {
        ASSERT_TRUE(Settings.WriteRKey("Brightness", Value));
        int32_t Back = 12345;
        ASSERT_TRUE(Settings.ReadRKey("Brightness", Back));
        EXPECT_EQ(Back, Value);
    }
}

TEST_F(KssSettingsTest, CorruptFileIsKeptAsBadAndDefaultsWritten)
{
    const std::string Damaged = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\"
                                "Solvane Screensaver]\n\"Brightness\"=dword:0000";
    WriteFile(KeyFile(), Damaged + "\x01garbage");
    ::testing::internal::CaptureStderr();
    Settings.SetRegistry();
    const std::string Err = ::testing::internal::GetCapturedStderr();
    ExpectDefaults(Settings);
    EXPECT_EQ(ReadFile(KeyFile() + ".bad"), Damaged + "\x01garbage");
    EXPECT_NE(Err.find(KeyFile() + ":4:"), std::string::npos) << Err;
}

TEST_F(KssSettingsTest, WriterWithoutAPlaceForTheKeyReturnsFalse)
{
    // A file where the brand folder should be: the key cannot be created.
    WriteFile(Root() + "/Kestrin Software", "not a folder");
    EXPECT_FALSE(Settings.WriteRKey("Brightness", 1));
    EXPECT_FALSE(Settings.WriteAKey("Proxy", "x"));
    int32_t Number = 3;
    EXPECT_FALSE(Settings.ReadRKey("Brightness", Number));
}

}  // namespace
