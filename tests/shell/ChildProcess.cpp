#include "tests/shell/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace testproc {
namespace {

std::vector<std::string> MergedEnvironment(const ChildProcess::Environment& Changes)
{
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const size_t eq = text.find('=');
        if (eq != std::string::npos)
            merged[text.substr(0, eq)] = text.substr(eq + 1);
    }
    for (const auto& [name, value] : Changes) {
        if (value.empty())
            merged.erase(name);
        else
            merged[name] = value;
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : merged)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& Texts)
{
    std::vector<char*> result;
    for (std::string& text : Texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& Args, const Environment& Changes)
{
    char pattern[] = "/tmp/solvane-child-XXXXXX";
    const int errFd = mkstemp(pattern);
    FErrPath = pattern;
    std::vector<std::string> args = Args;
    std::vector<std::string> env = MergedEnvironment(Changes);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    FPid = fork();
    if (FPid == 0) {
        dup2(errFd, STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(errFd);
}

ChildProcess::~ChildProcess()
{
    if (FPid > 0 && !FReaped) {
        kill(FPid, SIGKILL);
        waitpid(FPid, &FStatus, 0);
    }
    unlink(FErrPath.c_str());
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds Timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + Timeout;
    while (!FReaped) {
        if (waitpid(FPid, &FStatus, WNOHANG) == FPid) {
            FReaped = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(FStatus))
        return WEXITSTATUS(FStatus);
    return std::nullopt;
}

bool ChildProcess::Running()
{
    WaitExit(std::chrono::milliseconds(0));
    return !FReaped;
}

std::string ChildProcess::StdErr()
{
    std::ifstream in(FErrPath);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string RunCommand(const std::string& Command, int* Status)
{
    std::string output;
    FILE* pipe = popen(Command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[256];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    const int status = pclose(pipe);
    if (Status)
        *Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

PrivateXServer::PrivateXServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    FPid = fork();
    if (FPid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        // A shared machine may give each tester a display of their own to use.
        const char* display = std::getenv("SOLVANE_TEST_XVFB_DISPLAY");
        if (display != nullptr && *display != '\0')
            execlp("Xvfb", "Xvfb", display, "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
                   "tcp", "-noreset", static_cast<char*>(nullptr));
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return;
    // Wait until the server takes clients before anyone is sent to it. The server does not reset when
    // this probe (or any later last client) leaves: a client connecting during a reset is refused.
    for (int i = 0; i < 100; ++i) {
        int status = -1;
        RunCommand("DISPLAY=:" + number + " xdpyinfo >/dev/null 2>&1", &status);
        if (status == 0) {
            FDisplay = ":" + number;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

PrivateXServer::~PrivateXServer()
{
    End(SIGTERM);
}

void PrivateXServer::End(int Signal)
{
    if (FPid > 0) {
        kill(FPid, Signal);
        waitpid(FPid, nullptr, 0);
    }
    FPid = -1;
}

std::string PrivateXServer::Run(const std::string& Command, int* Status) const
{
    return RunCommand("DISPLAY=" + FDisplay + " " + Command, Status);
}

ScopedEnvironment::ScopedEnvironment(const ChildProcess::Environment& Changes)
{
    for (const auto& [name, value] : Changes) {
        const char* old = std::getenv(name.c_str());
        FOld[name] = old ? std::optional<std::string>(old) : std::nullopt;
        if (value.empty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (const auto& [name, old] : FOld) {
        if (old)
            setenv(name.c_str(), old->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

bool PollUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Limit)
{
    const auto deadline = std::chrono::steady_clock::now() + Limit;
    for (;;) {
        if (Condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string WaitForWindow(const PrivateXServer& X, pid_t Pid, std::chrono::milliseconds Timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + Timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string ids = X.Run("xdotool search --onlyvisible --pid " + std::to_string(Pid) + " 2>/dev/null");
        if (!ids.empty())
            return ids.substr(0, ids.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

}  // namespace testproc
