// The end requests (SIGTERM from the settings dialog or a session manager, SIGINT from a terminal,
// SIGHUP from a closed session) read from a descriptor, so a program that sleeps in poll wakes
// for them like for any other news. The three are blocked while the object lives; a
// ChildProgram starts with them unblocked again. For single-threaded programs (the idle watcher).
#pragma once

namespace plat {

class QuitSignalDescriptor {
public:
    QuitSignalDescriptor();
    ~QuitSignalDescriptor();
    QuitSignalDescriptor(const QuitSignalDescriptor&) = delete;
    QuitSignalDescriptor& operator=(const QuitSignalDescriptor&) = delete;

    int Descriptor() const { return FDescriptor; }
    // True when an end request arrived since the last call (reads them all).
    bool Take();

private:
    int FDescriptor = -1;
};

}  // namespace plat
