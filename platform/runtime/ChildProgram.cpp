#include "platform/runtime/ChildProgram.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

bool ChildProgram::Start(const std::vector<std::string>& Args)
{
    if (Running() || Args.empty())
        return false;
    // Everything the child uses is made before fork: only async-signal-safe calls after it.
    std::vector<std::string> args = Args;
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)  // the watcher died before the line above
            _exit(1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    FPid = child;
    FDescriptor = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    if (FDescriptor < 0) {  // a kernel before 5.3: the child's end could not be waited for
        End(std::chrono::milliseconds(0));
        return false;
    }
    return true;
}

bool ChildProgram::Reap()
{
    if (!Running())
        return true;
    pid_t done = 0;
    while ((done = waitpid(FPid, nullptr, WNOHANG)) < 0 && errno == EINTR) {}
    if (done == 0)
        return false;
    Forget();
    return true;
}

void ChildProgram::Forget()
{
    if (FDescriptor >= 0)
        close(FDescriptor);
    FPid = -1;
    FDescriptor = -1;
}

void ChildProgram::End(std::chrono::milliseconds Grace)
{
    if (!Running())
        return;
    kill(FPid, SIGTERM);
    pollfd ended{FDescriptor, POLLIN, 0};
    if (FDescriptor < 0 || poll(&ended, 1, static_cast<int>(Grace.count())) <= 0)
        kill(FPid, SIGKILL);
    while (waitpid(FPid, nullptr, 0) < 0 && errno == EINTR) {}
    Forget();
}

}  // namespace plat
