// The address of one HTTP request, taken apart the way the client sends it.
//
// Every request stands on its own address: nothing is carried over from the one before. An
// address without a scheme ("host/feed", "host:8080/feed") is an http one; only http and https
// are taken. The host may be an IPv6 literal in brackets ("http://[::1]:8080/"); user
// information before "@" and a fragment are dropped. The request target (path and query) goes
// out percent-encoded wherever RFC 3986 allows no such byte (a blank, a quote, bytes of 128 and
// above, a "%" that starts no escape), and a CR, LF or NUL anywhere is refused: an address from a
// settings file or a redirect can never add lines to the request.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TRequestAddress {
    bool Secure = false;  // https
    std::string Host;  // an IPv6 literal without its brackets
    int32_t Port = 0;  // as written, else 80 or 443
    std::string Target;  // path and query, "/" at least, encoded
    std::string Absolute;  // scheme "://" host[:port] Target, for the proxy form and redirects
};

// Raises std::runtime_error for an empty address ("Empty URL"), another scheme, a missing or
// malformed host and a line break; EConvertError for a port that is not one from 1 to 65535;
// ESockError "Address too long" for a target longer than kMaxPathChars (HttpLimits.h).
TRequestAddress SplitRequestAddress(std::string_view Url);

// Host as it stands in an authority, a Host line or a CONNECT: an IPv6 literal in brackets.
std::string AuthorityHost(std::string_view Host);

// An IPv6 literal's brackets taken off ("[::1]" -> "::1"); any other host as it is.
std::string_view WithoutBrackets(std::string_view Host);
