// A program the idle watcher runs (the saver) and waits for without blocking: Descriptor, a
// pidfd, becomes readable when it has ended. The child starts with the default signal mask and
// dispositions (the watcher blocks its quit signals to read them from a descriptor) and is sent
// SIGTERM should the watcher die before it.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace plat {

class ChildProgram {
public:
    ChildProgram() = default;
    ~ChildProgram() { End(std::chrono::seconds(5)); }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Runs Args[0] (a path) with Args; false when it could not be started.
    bool Start(const std::vector<std::string>& Args);
    bool Running() const { return FPid > 0; }
    pid_t Pid() const { return FPid; }
    // Readable once the child has ended; -1 when none runs.
    int Descriptor() const { return FDescriptor; }
    // Collects the child once it has ended; false while it runs.
    bool Reap();
    // Asks a running child to end (SIGTERM), and kills it when it has not ended within Grace.
    void End(std::chrono::milliseconds Grace);

private:
    void Forget();

    pid_t FPid = -1;
    int FDescriptor = -1;
};

}  // namespace plat
