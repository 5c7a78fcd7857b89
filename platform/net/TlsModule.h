// The TLS module: OpenSSL and our stream over it live in solvane-tls.so, loaded at the first
// https connection, so that starting the saver or the dialog maps no OpenSSL. Its one export
// makes a SecureStream; the boundary carries plain pointers and the caller owns what it gets.
#pragma once

#include "platform/net/SecureStream.h"

#include <string>

inline constexpr char kTlsModuleName[] = "solvane-tls.so";
inline constexpr char kTlsEntryName[] = "SolvaneNewSecureStream";

// Takes Plain whatever happens; null with *Error set when TLS cannot be set up.
using TNewSecureStreamEntry = plat::SecureStream* (*)(plat::StreamSocket* Plain, const char* HostName,
                                                      std::string* Error);
