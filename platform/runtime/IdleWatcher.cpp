#include "platform/runtime/IdleWatcher.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace plat {
namespace {

std::string SessionDisplay()
{
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return value;
    return "none";
}

// The pid in the lock file, when someone holds the lock; 0 when it is free or has no file.
pid_t HolderOf(const std::string& Path)
{
    const int file = open(Path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0)
        return 0;
    pid_t holder = 0;
    if (flock(file, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        char text[24] = {};
        const ssize_t length = pread(file, text, sizeof text - 1, 0);
        const long pid = length > 0 ? std::strtol(text, nullptr, 10) : 0;
        holder = pid > 0 ? static_cast<pid_t>(pid) : -1;  // -1: held, pid not written yet
    }
    close(file);
    return holder;
}

}  // namespace

std::string IdleWatcherLockName()
{
    std::string name = "idle-";
    for (const char c : SessionDisplay()) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        name += plain ? c : '_';
    }
    return name;
}

bool HoldIdleWatcherLock(RuntimeLock& Lock)
{
    return Lock.TryAcquire(IdleWatcherLockName()) && Lock.WriteText(std::to_string(getpid()) + "\n");
}

pid_t RunningIdleWatcher()
{
    const std::string path = RuntimeLockPath(IdleWatcherLockName());
    return path.empty() ? 0 : HolderOf(path);
}

bool StartIdleWatcher(const std::string& Executable)
{
    // Everything the children use is prepared before fork: after fork in a threaded process only
    // async-signal-safe calls are allowed. The pipe tells whether the exec took: it closes on a
    // successful exec, and a failed one writes its errno into it first.
    std::string program = Executable;
    std::string idle = "--idle";
    char* argv[] = {program.data(), idle.data(), nullptr};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        const pid_t watcher = fork();
        if (watcher == 0) {
            // The caller's windows, sockets and files are not the watcher's to keep open.
            close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
            const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (nothing >= 0)
                dup2(nothing, 0);
            execv(argv[0], argv);
            const int error = errno;
            (void)!write(report[1], &error, sizeof error);
            _exit(127);
        }
        _exit(watcher > 0 ? 0 : 1);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {}
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

bool EndIdleWatcher()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    bool asked = false;
    for (;;) {
        const pid_t holder = RunningIdleWatcher();
        if (holder == 0)
            return true;
        if (holder > 0 && !asked)
            asked = kill(holder, SIGTERM) == 0 || errno == ESRCH;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace plat
