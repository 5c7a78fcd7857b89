// The launcher is started by a short-lived intermediate child that is reaped at once, so the
// launcher itself is adopted by init and this process never has to wait for it.
#include "platform/shell/ShellOpen.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

bool ShellOpen(const std::string& Target)
{
    // Everything the children use is prepared before fork: after fork in a threaded process only
    // async-signal-safe calls are allowed.
    std::string program = "xdg-open";
    std::string target = Target;
    char* argv[] = {program.data(), target.data(), nullptr};
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        const pid_t launcher = fork();
        if (launcher == 0) {
            execvp(argv[0], argv);
            _exit(127);
        }
        _exit(launcher > 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace plat
