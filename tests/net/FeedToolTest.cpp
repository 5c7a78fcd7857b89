// build/solvane-feed: "get" prints Header then Body exactly as received, or the error and exit
// code 1; "news" and "weather" print the values a feed hands over, escaped, then any error.
#include "tests/net/FixtureServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace {

struct ToolRun {
    std::string Output;
    int ExitCode = -1;
};

ToolRun RunFeed(const std::string& Arguments, const std::string& Tool = SOLVANE_BINARY_DIR "/solvane-feed")
{
    const std::string command = Tool + " " + Arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.Output.append(chunk, got);
    const int status = pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class FeedTool : public testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(std::string(SOLVANE_BINARY_DIR) + "/solvane-feed"))
            GTEST_SKIP() << "solvane-feed is not built";
    }
};

// The network code takes nothing of the display or the sound with it.
TEST_F(FeedTool, MapsNoDisplayOrSoundLibrary)
{
    const ToolRun run = RunFeed("-d " SOLVANE_BINARY_DIR "/solvane-feed", "readelf");
    ASSERT_NE(run.Output.find("(NEEDED)"), std::string::npos) << run.Output;
    for (const char* library : {"libSDL", "libX", "libxcb", "libwayland", "libasound", "libpulse", "libfreetype"})
        EXPECT_EQ(run.Output.find(library), std::string::npos) << library;
}

TEST_F(FeedTool, PrintsHeaderThenBody)
{
    nettest::FixtureServer server;
    const std::string body("binary\0body\r\n", 13);
    server.Reply("/f", nettest::HttpReply("200 OK", "X-A: 1\r\n", body));
    const ToolRun run = RunFeed("get " + server.Url("/f"));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "HTTP/1.0 200 OK\r\nX-A: 1\r\n\r\n" + body);
}

TEST_F(FeedTool, ReportsTheErrorWithExitCodeOne)
{
    const ToolRun refused = RunFeed("get http://127.0.0.1:" + std::to_string(nettest::UnusedLoopbackPort()) + "/");
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_EQ(refused.Output, "ESockError: Connection Failed\n");
}

// https without the TLS module beside the program (nor installed) is an error, not a crash.
TEST_F(FeedTool, HttpsWithoutTheTlsModuleIsAnError)
{
    if (std::filesystem::exists(SOLVANE_MODULE_DIR "/solvane-tls.so"))
        GTEST_SKIP() << "the TLS module is installed in " SOLVANE_MODULE_DIR;
    const std::filesystem::path folder = testing::TempDir() + "feed-without-tls";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(SOLVANE_BINARY_DIR "/solvane-feed", folder / "solvane-feed",
                               std::filesystem::copy_options::overwrite_existing);
    nettest::FixtureServer server;
    const std::string url = server.Url("/f");
    const ToolRun run = RunFeed("get https" + url.substr(url.find(':')), (folder / "solvane-feed").string());
    std::filesystem::remove_all(folder);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Output.find("solvane-tls.so is missing or damaged"), std::string::npos) << run.Output;
}

TEST_F(FeedTool, NewsFromAFileAndFromAServer)
{
    const std::string feed = "<rss version=\"2.0\"><title>Caf\xE9\\Bar</title><link>http://n/?a&amp;b</link>"
                             "<item><title>Tab\there &amp;quot;q&amp;quot;</title></item></rss>";
    const std::string file = testing::TempDir() + "solvane-feed-news.xml";
    std::ofstream(file, std::ios::binary) << feed;
    const std::string expected = "NameNews=Caf\\xE9\\\\Bar\nNewsLink=http://n/?a&amp;b\n"
                                 "RssLine=  ***  Tab here \"q\"  ***  \n";
    ToolRun run = RunFeed("news " + file);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, expected);
    std::filesystem::remove(file);

    nettest::FixtureServer server;
    server.Reply("/n.xml", nettest::HttpReply("200 OK", "", feed));
    run = RunFeed("news " + server.Url("/n.xml"));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, expected);
    // A socket error keeps the initial values and is reported.
    run = RunFeed("news http://127.0.0.1:" + std::to_string(nettest::UnusedLoopbackPort()) + "/");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Output, "NameNews=\nNewsLink=\nRssLine=*** Not Available Now ***\nerror=Connection Failed\n");
}

TEST_F(FeedTool, WeatherValuesAndTheErrorThatEndsTheRead)
{
    nettest::FixtureServer server;
    const std::string head = "<?xml version=\"1.0\"?><yweather:condition code=\"34\" temp=\"59\"/>"
                             "<yweather:forecast low=\"47\" high=\"62\" code=\"30\"/>";
    const std::string tomorrow = "<yweather:forecast low=\"45\" high=\"60\" code=\"11\"/>";
    server.Reply("/w", nettest::HttpReply("200 OK", "", head + tomorrow));
    server.Reply("/bad", nettest::HttpReply("200 OK", "", head + "<yweather:forecast code=\"x\"/>"));
    ToolRun run = RunFeed("weather " + server.Url("/w"));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "TodayCode=34\nTodayNow=59\nTomorrowCode=11\nTomorrowLow=45\nTomorrowHi=60\n");
    run = RunFeed("weather " + server.Url("/bad"));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Output,
              "TodayCode=34\nTodayNow=NA\nTomorrowCode=48\nTomorrowLow=NA\nTomorrowHi=NA\n"
              "error='x' is not a valid integer value\n");
    // The live source's JSON, chosen by its first byte after a byte-order mark and white space.
    const std::string json = "\xEF\xBB\xBF \n{\"current\":{\"temperature_2m\":21.6,\"weather_code\":0,\"is_day\":1},"
                             "\"daily\":{\"weather_code\":[0,61],\"temperature_2m_max\":[25,19.5],"
                             "\"temperature_2m_min\":[12,11.4]}}";
    const std::string expected = "TodayCode=32\nTodayNow=22\nTomorrowCode=11\nTomorrowLow=11\nTomorrowHi=20\n";
    server.Reply("/v1/forecast", nettest::HttpReply("200 OK", "", json));
    run = RunFeed("weather " + server.Url("/v1/forecast"));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, expected);
    const std::string file = testing::TempDir() + "solvane-feed-weather.json";
    std::ofstream(file, std::ios::binary) << json;
    run = RunFeed("weather " + file);
    EXPECT_EQ(run.Output, expected);
    std::filesystem::remove(file);
}

}  // namespace
