#include "net/CookieJar.h"

#include "net/HttpLimits.h"
#include "platform/locale/AsciiCase.h"

#include <algorithm>

namespace {

std::string_view Trimmed(std::string_view Text)
{
    Text.remove_prefix(std::min(Text.find_first_not_of(" \t"), Text.size()));
    Text.remove_suffix(Text.size() - std::min(Text.find_last_not_of(" \t") + 1, Text.size()));
    return Text;
}

bool HasControlBytes(std::string_view Text)
{
    return std::any_of(Text.begin(), Text.end(),
                       [](char C) { return static_cast<unsigned char>(C) < ' ' || C == '\x7F'; });
}

}  // namespace

void TCookieJar::Keep(std::string_view Host, std::string_view SetCookie, bool OverTls)
{
    const std::string_view pair = SetCookie.substr(0, SetCookie.find(';'));
    const size_t equals = pair.find('=');
    if (equals == std::string_view::npos || HasControlBytes(pair))
        return;
    TCookie cookie{plat::LowerAscii(Host), std::string(Trimmed(pair.substr(0, equals))),
                   std::string(Trimmed(pair.substr(equals + 1))), OverTls};
    if (cookie.Name.empty())
        return;
    std::erase_if(FCookies, [&](const TCookie& Kept) { return Kept.Host == cookie.Host && Kept.Name == cookie.Name; });
    if (FCookies.size() == net::kMaxCookies)
        FCookies.erase(FCookies.begin());
    FCookies.push_back(std::move(cookie));
}

std::string TCookieJar::Joined(std::string_view Host, bool OverTls) const
{
    const std::string host = plat::LowerAscii(Host);
    std::string out;
    for (const TCookie& cookie : FCookies) {
        if (!Goes(cookie, host, OverTls))
            continue;
        out += out.empty() ? "" : "; ";
        out += cookie.Name + "=" + cookie.Value;
    }
    return out;
}

std::string TCookieJar::ForRequest(std::string_view Host, bool OverTls, size_t Budget)
{
    const std::string host = plat::LowerAscii(Host);
    // Newest first: what they take, each with its "; ", until the budget is spent.
    size_t length = 0;
    bool full = false;
    for (auto cookie = FCookies.rbegin(); cookie != FCookies.rend(); ++cookie) {
        if (!Goes(*cookie, host, OverTls))
            continue;
        const size_t needs = (length == 0 ? 0 : 2) + cookie->Name.size() + 1 + cookie->Value.size();
        full = full || length + needs > Budget;
        if (full)
            cookie->Name.clear();  // marked to go
        else
            length += needs;
    }
    std::erase_if(FCookies, [](const TCookie& Cookie) { return Cookie.Name.empty(); });
    return Joined(Host, OverTls);
}
