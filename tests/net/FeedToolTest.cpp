// build/solvane-feed prints Header then Body exactly as received, or the error and exit code 1.
#include "tests/net/FixtureServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace {

struct ToolRun {
    std::string Output;
    int ExitCode = -1;
};

ToolRun RunFeed(const std::string& Arguments)
{
    const std::string command = std::string(SOLVANE_BINARY_DIR) + "/solvane-feed " + Arguments + " 2>&1";
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
    const ToolRun secure = RunFeed("get https://example.invalid/");
    EXPECT_EQ(secure.ExitCode, 1);
    EXPECT_EQ(secure.Output, "Exception: HTTP Secure Socket is not supported\n");
}

}  // namespace
