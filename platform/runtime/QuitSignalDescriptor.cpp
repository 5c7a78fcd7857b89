#include "platform/runtime/QuitSignalDescriptor.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <initializer_list>

namespace plat {
namespace {

sigset_t QuitSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, signal);
    return signals;
}

}  // namespace

QuitSignalDescriptor::QuitSignalDescriptor()
{
    const sigset_t signals = QuitSignals();
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    FDescriptor = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
}

QuitSignalDescriptor::~QuitSignalDescriptor()
{
    if (FDescriptor >= 0)
        close(FDescriptor);
    const sigset_t signals = QuitSignals();
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
}

bool QuitSignalDescriptor::Take()
{
    signalfd_siginfo info{};
    bool taken = false;
    while (read(FDescriptor, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        taken = true;
    return taken;
}

}  // namespace plat
