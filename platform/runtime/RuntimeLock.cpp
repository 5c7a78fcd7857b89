#include "platform/runtime/RuntimeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace plat {
namespace {

// The runtime folder, or a folder of this user's own under /tmp (made 0700, refused when it is
// someone else's or not a plain folder).
std::string RuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/')
        return runtime;
    const std::string folder = "/tmp/solvane-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return {};
    return folder;
}

}  // namespace

std::string RuntimeLockPath(const std::string& Name)
{
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + "/solvane-" + Name + ".lock";
}

RuntimeLock::~RuntimeLock()
{
    Release();
}

bool RuntimeLock::TryAcquire(const std::string& Name)
{
    if (Held())
        return true;
    const std::string path = RuntimeLockPath(Name);
    if (path.empty())
        return false;
    const int file = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0)
        return false;
    if (flock(file, LOCK_EX | LOCK_NB) != 0) {
        close(file);
        return false;
    }
    FFile = file;
    return true;
}

bool RuntimeLock::WriteText(const std::string& Text)
{
    if (!Held() || ftruncate(FFile, 0) != 0)
        return false;
    return pwrite(FFile, Text.data(), Text.size(), 0) == static_cast<ssize_t>(Text.size());
}

void RuntimeLock::Release()
{
    if (!Held())
        return;
    close(FFile);  // Ends the lock.
    FFile = -1;
}

}  // namespace plat
