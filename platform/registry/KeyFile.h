// File operations behind the per-user key: reading a key file whole, replacing it so that a crash
// leaves the old or the new file and never a torn one, locking it against other writers, and
// keeping a damaged file aside instead of overwriting it.
//
// All paths are absolute. Folders are created private (0700), files private (0600).
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace plat::keyfile {

// Larger files are not key files this program wrote; reading one is refused, not attempted.
inline constexpr size_t kMaxKeyFileSize = 1 << 20;

enum class ReadResult { Ok, Missing, TooLarge, Failed };
ReadResult ReadWholeFile(const std::string& Path, std::string& Out);

// Creates Path and its missing parents (mode 0700). True when Path is a folder afterwards; on
// false errno tells why.
bool MakeFolders(const std::string& Path);

// How long LockExclusive waits for another holder of the lock.
inline constexpr std::chrono::milliseconds kLockWait{2000};

// Waits up to kLockWait for the exclusive lock on LockPath (created 0600 when missing). Returns
// the descriptor that holds it, or -1 with errno set (EWOULDBLOCK when another process kept it all
// that time). Closing the descriptor, or the process ending, releases the lock.
int LockExclusive(const std::string& LockPath);

// The file a write of Path must replace: the target of Path when Path is a symbolic link to a
// file (a configuration kept elsewhere and linked in stays linked), else Path itself.
std::string WriteTarget(const std::string& Path);

// Writes Bytes to Path + ".tmp", flushes it, renames it over Path and flushes the folder. Callers
// hold the lock, which makes the fixed temporary name safe. On false errno tells why, and Path is
// as it was.
bool ReplaceFile(const std::string& Path, std::string_view Bytes);

// Renames Path to the first free name of Path + ".bad", ".bad.1", ".bad.2", ... and returns that
// name, or an empty text when Path could not be moved.
std::string KeepAside(const std::string& Path);

}  // namespace plat::keyfile
