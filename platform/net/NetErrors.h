// Socket error numbers as the network layer reports them.
//
// The socket client and its callers speak one numbering for socket failures (10035 "would
// block", 10061 refused, 11001 host not found, ...). The Linux backends translate errno and
// resolver codes into it here, so nothing above platform/ ever sees errno.
#pragma once

namespace plat {

inline constexpr int kSockWouldBlock = 10035;
inline constexpr int kSockNetUnreachable = 10051;
inline constexpr int kSockConnReset = 10054;
inline constexpr int kSockNotConnected = 10057;
inline constexpr int kSockTimedOut = 10060;
inline constexpr int kSockRefused = 10061;
inline constexpr int kSockHostUnreachable = 10065;
inline constexpr int kSockHostNotFound = 11001;
inline constexpr int kSockTryAgain = 11002;
inline constexpr int kSockNoRecovery = 11003;
inline constexpr int kSockNoData = 11004;
// A TLS handshake that failed; the stream's own text says why.
inline constexpr int kSockSecureFailed = 19001;
// errno values without a number of their own land above the numbered range, so that they
// still count as failures and read as "Unknown Error No. 2xxxx".
inline constexpr int kSockUnmappedBase = 20000;

// The error number for an errno value of a socket call (0 for 0).
int SocketErrorFromErrno(int Errno);
// The error number for a getaddrinfo result (0 for success).
int SocketErrorFromLookup(int GaiError);

}  // namespace plat
