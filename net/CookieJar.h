// The cookies one HTTP client keeps between its requests.
//
// Each Set-Cookie keeps its name=value only (attributes and Domain ignored), for the host that
// set it alone, and one set over https never goes over plain http. A cookie of the same host and
// name replaces the old one; beyond kMaxCookies the oldest of all gives way. A request carries its
// host's cookies, oldest first, as long as they fit the Cookie line's budget: those that do not
// fit are dropped from the jar oldest first, so a reply full of large cookies never makes later
// requests to that host fail.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TCookieJar {
public:
    // Keeps the name=value of a Set-Cookie value that Host sent; a value with control bytes, or
    // without a name, is not kept.
    void Keep(std::string_view Host, std::string_view SetCookie, bool OverTls);
    // "a=1; b=2": the cookies for a request to Host, all of them.
    std::string Joined(std::string_view Host, bool OverTls) const;
    // The same, after dropping Host's oldest cookies until the text is at most Budget bytes long.
    std::string ForRequest(std::string_view Host, bool OverTls, size_t Budget);
    size_t Count() const { return FCookies.size(); }

private:
    struct TCookie {
        std::string Host;  // lower case
        std::string Name;
        std::string Value;
        bool FromTls = false;
    };
    bool Goes(const TCookie& Cookie, const std::string& Host, bool OverTls) const
    {
        return Cookie.Host == Host && (OverTls || !Cookie.FromTls);
    }

    std::vector<TCookie> FCookies;  // oldest first
};
