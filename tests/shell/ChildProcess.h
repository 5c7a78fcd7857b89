// Test helpers for running real executables: a child process with its own environment and
// captured standard error, and a private Xvfb server so that tests driving the keyboard and mouse
// never disturb (or get disturbed by) other tests on a shared display.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testproc {

class ChildProcess {
public:
    // Environment changes on top of this process's environment; an empty value unsets the name.
    using Environment = std::map<std::string, std::string>;

    ChildProcess(const std::vector<std::string>& Args, const Environment& Changes);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return FPid; }
    // The exit code once the process ended within Timeout; nothing when it is still running (or
    // was ended by a signal).
    std::optional<int> WaitExit(std::chrono::milliseconds Timeout);
    bool Running();
    // What the process wrote to standard error so far (complete once it has ended).
    std::string StdErr();

private:
    pid_t FPid = -1;
    bool FReaped = false;
    int FStatus = 0;
    std::string FErrPath;
};

// The output of a shell command (standard output only), and its exit status in Status.
std::string RunCommand(const std::string& Command, int* Status = nullptr);

class PrivateXServer {
public:
    PrivateXServer();  // Starts Xvfb at 1280x1024; Display() is empty when that failed.
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& Display() const { return FDisplay; }
    // Ends the server now with Signal, as the end of a session (SIGTERM) or a crash (SIGKILL)
    // does: its clients lose their connections.
    void End(int Signal);
    // Runs a shell command with DISPLAY set to this server.
    std::string Run(const std::string& Command, int* Status = nullptr) const;

private:
    pid_t FPid = -1;
    std::string FDisplay;
};

// A private X server that this process's own X clients use (DISPLAY points at it) until the
// object goes, for in-process tests that read back what is on screen: on the run's shared
// display another test's window could cover what they look at.
class ScopedPrivateDisplay {
public:
    ScopedPrivateDisplay()
    {
        const char* display = std::getenv("DISPLAY");
        if (display != nullptr)
            FOld = display;
        if (!FServer.Display().empty())
            setenv("DISPLAY", FServer.Display().c_str(), 1);
    }
    ~ScopedPrivateDisplay()
    {
        if (FOld)
            setenv("DISPLAY", FOld->c_str(), 1);
        else
            unsetenv("DISPLAY");
    }
    ScopedPrivateDisplay(const ScopedPrivateDisplay&) = delete;
    ScopedPrivateDisplay& operator=(const ScopedPrivateDisplay&) = delete;
    bool Started() const { return !FServer.Display().empty(); }

private:
    PrivateXServer FServer;
    std::optional<std::string> FOld;
};

// Changes this process's environment (an empty value unsets the name) until the object goes, for
// a test that looks at what its children see: a lock in their runtime folder, their display.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const ChildProcess::Environment& Changes);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::map<std::string, std::optional<std::string>> FOld;
};

// Asks Condition every 20 ms until it holds (true) or Limit has passed (false): a test waits for
// what it needs to see, never for a time it guessed.
bool PollUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Limit);

// The id of the first visible window of process Pid on the server, or empty after Timeout.
std::string WaitForWindow(const PrivateXServer& X, pid_t Pid, std::chrono::milliseconds Timeout);

}  // namespace testproc
