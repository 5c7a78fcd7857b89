#include "tests/platform/sound/PulseServer.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace testsound {

PulseServer::PulseServer()
{
    if (FFolder.Path().empty())
        return;
    FRoot = FFolder.Path();
    const std::string socket = FRoot + "/native";
    std::filesystem::create_directories(FRoot + "/home");
    std::ofstream(FRoot + "/server.pa") << "load-module module-null-sink sink_name=solvane_test\n"
                                        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket
                                        << "\nset-default-sink solvane_test\n";
    std::ofstream(FRoot + "/asound.conf") << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
    FEnv = {{"HOME", FRoot + "/home"},
            {"XDG_RUNTIME_DIR", FRoot},
            {"PULSE_RUNTIME_PATH", FRoot},
            {"PULSE_SERVER", "unix:" + socket},
            {"ALSA_CONFIG_PATH", FRoot + "/asound.conf"}};
    // Without a session bus of its own the server would start one through the X display (D-Bus's
    // autolaunch) and claim its name there, which a second test's server then finds taken.
    auto serverEnv = FEnv;
    serverEnv["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + FRoot + "/no-bus";
    FServer = std::make_unique<testproc::ChildProcess>(
        std::vector<std::string>{"/usr/bin/pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                 "--disable-shm=yes", "-F", FRoot + "/server.pa"},
        serverEnv);
    for (int i = 0; i < 300 && SinkVolume() < 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (SinkVolume() < 0)
        FServer.reset();
}

PulseServer::~PulseServer()
{
    Stop();
}

void PulseServer::Enter() const
{
    for (const auto& [name, value] : FEnv)
        setenv(name.c_str(), value.c_str(), 1);
}

void PulseServer::Stop()
{
    if (FServer == nullptr)
        return;
    kill(FServer->Pid(), SIGTERM);
    FServer->WaitExit(std::chrono::seconds(5));
    FServer.reset();  // Kills it if it did not end.
}

std::string PulseServer::Pactl(const std::string& Args, int* Status) const
{
    std::string command;
    for (const auto& [name, value] : FEnv)
        command += name + "='" + value + "' ";
    return testproc::RunCommand(command + "pactl " + Args + " 2>/dev/null", Status);
}

long PulseServer::SinkVolume() const
{
    int status = 0;
    const std::string out = Pactl("get-sink-volume solvane_test", &status);
    // "Volume: front-left: 51200 /  78% / ...": the first number is the first channel's.
    const size_t digits = out.find_first_of("0123456789");
    if (status != 0 || digits == std::string::npos)
        return -1;
    return std::strtol(out.c_str() + digits, nullptr, 10);
}

void PulseServer::SetSinkVolume(long Volume) const
{
    Pactl("set-sink-volume solvane_test " + std::to_string(Volume), nullptr);
}

}  // namespace testsound
