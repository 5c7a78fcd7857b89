// The bounds the socket and HTTP clients enforce, kept in one place.
//
// A feed server is outside our control: these limits make sure a slow, broken or hostile one
// ends a fetch with an error instead of holding the UI thread or growing memory without end.
#pragma once

#include <cstddef>

namespace net {

// The receive buffer: a peek or receive takes at most this many bytes, and it is the longest
// line ReadLn returns in one piece.
inline constexpr int kSockBufferBytes = 65536;
// The longest piece of text Write sends (more is cut).
inline constexpr int kSockWriteBytes = 65536;
// How long one slice of a wait blocks before the UI thread's messages are processed again.
inline constexpr int kWaitSliceMs = 5;

// Redirects followed by one Get; the reply to the last one stands as the result.
inline constexpr int kMaxRedirects = 10;
// The largest body captured; more ends the capture as aborted ("...: the body is larger than
// 16 MiB").
inline constexpr std::size_t kMaxBodyBytes = 16u << 20;
// The largest reply header (status line and header lines together).
inline constexpr std::size_t kMaxHeaderBytes = 256u << 10;
// A whole Get, redirects included, ends within this many TimeOut periods.
inline constexpr int kGetDeadlineTimeOuts = 6;
// The longest request path and redirect location taken (a longer one ends the Get with an
// error instead of being cut into another address), and the longest cookie kept (a longer one is
// not kept).
inline constexpr std::size_t kMaxPathChars = 4096;
inline constexpr std::size_t kMaxHeaderValueChars = 4096;
// Cookies kept by one client, across all hosts; the oldest gives way.
inline constexpr std::size_t kMaxCookies = 32;
// The longest Cookie line a request carries: what common servers take in one header line (8 KiB
// in nginx and Apache). The host's oldest cookies that do not fit are dropped.
inline constexpr std::size_t kMaxCookieChars = 8000;

// RFC 8305's connection attempt delay: while earlier attempts are pending, the next address is
// tried after this long.
inline constexpr int kConnectAttemptDelayMs = 250;
// The most addresses one connect tries; a connect's time-out ends it long before.
inline constexpr std::size_t kMaxConnectAttempts = 24;

}  // namespace net
