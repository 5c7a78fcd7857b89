// Fuzzes the cookie jar: any run of Set-Cookie values from three hosts, over TLS or not, and
// requests with any budget. The jar never holds more than its bound, a request's cookies fit its
// budget and carry no control byte, and a request drops none of another host's cookies.
#include "net/CookieJar.h"
#include "net/HttpLimits.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static constexpr std::string_view kHosts[] = {"a.example", "B.example", "b.example"};
    TCookieJar jar;
    std::string_view input(reinterpret_cast<const char*>(Data), Size);
    while (input.size() >= 3) {
        const auto op = static_cast<uint8_t>(input[0]);
        const std::string_view host = kHosts[static_cast<uint8_t>(input[1]) % 3];
        const bool tls = op & 1;
        const size_t end = std::min(input.find('\n', 2), input.size());
        const std::string_view value = input.substr(2, end - 2);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (op & 2) {
            jar.Keep(host, value, tls);
        } else {
            const size_t budget = value.size() * 97 % (net::kMaxCookieChars + 1);
            const std::string other = jar.Joined(host == kHosts[0] ? kHosts[1] : kHosts[0], tls);
            const std::string sent = jar.ForRequest(host, tls, budget);
            for (const char c : sent)
                if (static_cast<unsigned char>(c) < ' ')
                    std::abort();
            if (sent.size() > budget || sent != jar.Joined(host, tls) ||
                other != jar.Joined(host == kHosts[0] ? kHosts[1] : kHosts[0], tls))
                std::abort();
        }
        if (jar.Count() > net::kMaxCookies)
            std::abort();
    }
    return 0;
}
