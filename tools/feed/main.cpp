// solvane-feed: one HTTP GET through the saver's own client, from a plain event loop.
//
//   solvane-feed get URL [PROXY PORT]
//
// Prints the reply's Header and then its Body exactly as received. A failure prints the error's
// class and text on stderr and exits with 1.
#include "net/Httpclient.h"
#include "net/NumberText.h"

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
    std::fputs("usage: solvane-feed get URL [PROXY PORT]\n", stderr);
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

}  // namespace

int main(int argc, char** argv)
{
    if ((argc != 3 && argc != 5) || std::string_view(argv[1]) != "get")
        return Usage();
    try {
        THttpClient client(nullptr);
        client.TimeOut = kFeedTimeOutMs;
        client.ReportLevel = 2;
        if (argc == 5) {
            client.Proxy = argv[3];
            client.ProxyPort = StrToInt(argv[4]);
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
