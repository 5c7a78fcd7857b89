#include "platform/files/KeyFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace plat::keyfile {

namespace {

// Past this many kept files something is looping; refuse rather than fill the folder.
constexpr int kMaxKeptFiles = 1000;

bool WriteAll(int Fd, std::string_view Bytes)
{
    while (!Bytes.empty()) {
        const ssize_t Done = ::write(Fd, Bytes.data(), Bytes.size());
        if (Done < 0 && errno == EINTR)
            continue;
        if (Done <= 0) {
            if (Done == 0)
                errno = ENOSPC;
            return false;
        }
        Bytes.remove_prefix(static_cast<size_t>(Done));
    }
    return true;
}

std::string FolderOf(const std::string& Path)
{
    const size_t Slash = Path.find_last_of('/');
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

// Makes a rename in Folder last. Some file systems cannot flush a folder; the rename itself has
// happened by then, so that is not a failure of the write.
void FlushFolder(const std::string& Folder)
{
    const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) {
        ::fsync(Fd);
        ::close(Fd);
    }
}

bool Exists(const std::string& Path)
{
    struct stat St;
    return ::lstat(Path.c_str(), &St) == 0 || errno != ENOENT;
}

}  // namespace

ReadResult ReadWholeFile(const std::string& Path, std::string& Out)
{
    // Not blocking: something other than a file (a pipe) at the key's place must not hang a read.
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    struct stat St;
    ReadResult Result = ReadResult::Ok;
    if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode))
        Result = ReadResult::Failed;
    else if (St.st_size > static_cast<off_t>(kMaxKeyFileSize))
        Result = ReadResult::TooLarge;
    std::string Bytes;
    char Buffer[16384];
    while (Result == ReadResult::Ok) {
        const ssize_t Got = ::read(Fd, Buffer, sizeof Buffer);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got < 0)
            Result = ReadResult::Failed;
        if (Got <= 0)
            break;
        Bytes.append(Buffer, static_cast<size_t>(Got));
        if (Bytes.size() > kMaxKeyFileSize)
            Result = ReadResult::TooLarge;
    }
    ::close(Fd);
    if (Result == ReadResult::Ok)
        Out = std::move(Bytes);
    return Result;
}

bool MakeFolders(const std::string& Path)
{
    struct stat St;
    if (::stat(Path.c_str(), &St) == 0) {
        errno = S_ISDIR(St.st_mode) ? 0 : ENOTDIR;
        return errno == 0;
    }
    if (Path.size() > 1 && !MakeFolders(FolderOf(Path)))
        return false;
    if (::mkdir(Path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    FlushFolder(FolderOf(Path));
    return ::stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

int LockExclusive(const std::string& LockPath)
{
    const int Fd = ::open(LockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (Fd < 0)
        return -1;
    // Another process holding the lock must not hang the saver's start: after a bounded wait the
    // key counts as one that cannot be written.
    const auto Deadline = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= Deadline) {
            const int Reason = errno == EINTR ? EWOULDBLOCK : errno;
            ::close(Fd);
            errno = Reason;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Fd;
}

std::string WriteTarget(const std::string& Path)
{
    struct stat St;
    if (::lstat(Path.c_str(), &St) != 0 || !S_ISLNK(St.st_mode))
        return Path;
    char Resolved[PATH_MAX];
    if (!::realpath(Path.c_str(), Resolved) || ::stat(Resolved, &St) != 0 || !S_ISREG(St.st_mode))
        return Path;
    return Resolved;
}

std::string ReplaceRefusal(const std::string& Path, FileRights& Rights)
{
    struct stat St;
    if (::lstat(Path.c_str(), &St) != 0)
        return errno == ENOENT ? std::string() : "it cannot be examined (" + std::string(std::strerror(errno)) + ")";
    if (S_ISLNK(St.st_mode))
        return "it is a link that leads to no file";
    if (!S_ISREG(St.st_mode))
        return "it is not a regular file";
    if (St.st_uid != ::geteuid())
        return "it belongs to another user (user id " + std::to_string(St.st_uid) + ")";
    if ((St.st_mode & S_IWUSR) == 0)
        return "it is read-only";
    Rights = {static_cast<mode_t>(St.st_mode & 0777), St.st_gid};
    return {};
}

bool ReplaceFile(const std::string& Path, std::string_view Bytes, const FileRights& Rights)
{
    const std::string Temp = Path + ".tmp";
    const int Flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    const int Fd = ::open(Temp.c_str(), Flags, 0600);
    if (Fd < 0)
        return false;
    // A group the user is no member of cannot be kept; the file then has the user's like any new one.
    if (Rights.Group != static_cast<gid_t>(-1))
        (void)::fchown(Fd, static_cast<uid_t>(-1), Rights.Group);
    // A temporary left by a killed writer may carry other rights than those meant for the key.
    bool Ok = ::fchmod(Fd, Rights.Mode) == 0 && WriteAll(Fd, Bytes) && ::fsync(Fd) == 0;
    int Reason = Ok ? 0 : errno;
    if (::close(Fd) != 0 && Ok) {
        Ok = false;
        Reason = errno;
    }
    if (Ok && ::rename(Temp.c_str(), Path.c_str()) != 0) {
        Ok = false;
        Reason = errno;
    }
    if (!Ok) {
        ::unlink(Temp.c_str());
        errno = Reason;
        return false;
    }
    FlushFolder(FolderOf(Path));
    return true;
}

std::string KeepAside(const std::string& Path, bool KeepInPlace)
{
    for (int N = 0; N < kMaxKeptFiles; ++N) {
        std::string Kept = Path + ".bad";
        if (N > 0) {
            Kept += '.';
            Kept += std::to_string(N);
        }
        if (Exists(Kept))
            continue;
        if ((KeepInPlace ? ::link(Path.c_str(), Kept.c_str()) : ::rename(Path.c_str(), Kept.c_str())) != 0)
            return {};
        FlushFolder(FolderOf(Path));
        return Kept;
    }
    return {};
}

}  // namespace plat::keyfile
