// A PulseAudio server of the test's own: a null sink, its own runtime folder and socket, not
// daemonised, stopped (and its folder removed) with the object. Env() is what a process needs to
// reach it through ALSA's pulse plugin, exactly as on a desktop; Stop() leaves the environment
// pointing at a server that is gone.
#pragma once

#include "tests/TempFolder.h"
#include "tests/shell/ChildProcess.h"

#include <memory>
#include <string>

namespace testsound {

class PulseServer {
public:
    PulseServer();  // Running() is false when the server did not come up.
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    bool Running() const { return FServer != nullptr; }
    const testproc::ChildProcess::Environment& Env() const { return FEnv; }
    // Sets this process's environment to Env() (for in-process mixer calls).
    void Enter() const;
    void Stop();

    // The sink's volume in the server's own units (65536 is full), -1 when it cannot be read.
    long SinkVolume() const;
    void SetSinkVolume(long Volume) const;

private:
    std::string Pactl(const std::string& Args, int* Status) const;

    TTempFolder FFolder{"pulse"};
    std::string FRoot;
    testproc::ChildProcess::Environment FEnv;
    std::unique_ptr<testproc::ChildProcess> FServer;
};

}  // namespace testsound
