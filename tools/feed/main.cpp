// solvane-feed: the saver's HTTP client and feed readers from a plain event loop.
//
//   solvane-feed get URL [PROXY PORT]
//     Prints the reply's Header and then its Body exactly as received. A failure prints the
//     error's class and text on stderr and exits with 1.
//   solvane-feed news FILE|URL
//   solvane-feed weather FILE|URL
//     Reads a feed as the saver would (a URL through its own fetch, a file as the reply body) and
//     prints the values it would hand over, "Name=value" one a line; "error=" and exit code 1
//     when an error ends the fetch.
#include "engine/StrToInt.h"
#include "net/Httpclient.h"
#include "platform/net/TimerPump.h"
#include "platform/shell/Library.h"
#include "tools/feed/read/FeedRead.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <typeinfo>

namespace {

// The client's own time-out, as the saver sets it.
constexpr int32_t kFeedTimeOutMs = 5000;

int Usage()
{
    std::fputs("usage: solvane-feed get URL [PROXY PORT]\n"
               "       solvane-feed news FILE|URL\n"
               "       solvane-feed weather FILE|URL\n",
               stderr);
    return 2;
}

const char* ErrorClass(const std::exception& Error)
{
    if (dynamic_cast<const EAbortError*>(&Error))
        return "EAbortError";
    if (dynamic_cast<const ESockError*>(&Error))
        return "ESockError";
    if (dynamic_cast<const EConvertError*>(&Error))
        return "EConvertError";
    return "Exception";
}

void WriteAll(const std::string& Text)
{
    std::fwrite(Text.data(), 1, Text.size(), stdout);
}

int GetCommand(int argc, char** argv)
{
    try {
        plat::TimerPump pump;
        THttpClient client(nullptr, pump);
        client.TimeOut = kFeedTimeOutMs;
        client.ReportLevel = 2;
        if (argc == 5) {
            client.Proxy = argv[3];
            client.ProxyPort = StrToPort(argv[4]);
        }
        client.Get(argv[2]);
        WriteAll(client.Header);
        WriteAll(client.Body);
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", ErrorClass(error), error.what());
        return 1;
    }
}

// The news and weather commands from the module beside the tool.
int ReadCommand(const char* Command, const char* Source)
{
    plat::Library module;
    const auto read = module.LoadBesideExecutable(kFeedReadModuleName)
        ? reinterpret_cast<TFeedReadEntry>(module.Symbol(kFeedReadEntryName))
        : nullptr;
    if (read == nullptr) {
        std::fprintf(stderr, "solvane-feed: %s is missing or damaged\n", kFeedReadModuleName);
        return 2;
    }
    return read(Command, Source);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "get" && (argc == 3 || argc == 5))
        return GetCommand(argc, argv);
    if ((command == "news" || command == "weather") && argc == 3)
        return ReadCommand(argv[1], argv[2]);
    return Usage();
}
