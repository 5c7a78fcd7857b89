// File operations behind the per-user key: reading a key file whole, replacing it so that a crash
// leaves the old or the new file and never a torn one, locking it against other writers, and
// keeping a damaged file aside instead of overwriting it.
//
// All paths are absolute. Folders are created private (0700), new files private (0600); a
// replaced file keeps the rights it had.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>

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

// The rights a replacement of a file takes over from it.
struct FileRights {
    mode_t Mode = 0600;
    gid_t Group = static_cast<gid_t>(-1);  // -1: the folder's or the user's, as for any new file
};

// Empty when Path may be replaced: it does not exist, or it is a regular file of this user that
// its owner may write; then Rights holds its rights. Otherwise why not, in words for the user
// ("it is read-only").
std::string ReplaceRefusal(const std::string& Path, FileRights& Rights);

// Writes Bytes to Path + ".tmp" with Rights, flushes it, renames it over Path and flushes the
// folder. Callers hold the lock, which makes the fixed temporary name safe. On false errno tells
// why, and Path is as it was.
bool ReplaceFile(const std::string& Path, std::string_view Bytes, const FileRights& Rights);

// Gives Path the first free name of Path + ".bad", ".bad.1", ".bad.2", ... and returns that name,
// or an empty text when that failed. Path is renamed, or with KeepInPlace it keeps its name too
// (a second link), so it stays until a replacement is renamed over it.
std::string KeepAside(const std::string& Path, bool KeepInPlace = false);

}  // namespace plat::keyfile
