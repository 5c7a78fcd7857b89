#include "shell/IdleWatcher.h"

#include "engine/KssSettings.h"
#include "platform/dbus/Bus.h"
#include "platform/dbus/PowerManagementInhibit.h"
#include "platform/dbus/ScreenSaverService.h"
#include "platform/dbus/SessionLock.h"
#include "platform/idle/SessionIdle.h"
#include "platform/runtime/ChildProgram.h"
#include "platform/runtime/DescriptorWait.h"
#include "platform/runtime/IdleWatcher.h"
#include "platform/runtime/QuitSignalDescriptor.h"
#include "platform/shell/Library.h"
#include "shell/Start.h"

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace shell {
namespace {

// The settings' "IdleMinutes" in seconds: 10 minutes when absent, unreadable or out of range.
int IdleSecondsSetting()
{
    TKssSettings settings;
    settings.SetBrandName(kBrandName);
    settings.SetSSName(kSaverName);
    int32_t minutes = kDefaultIdleMinutes;
    try {
        settings.ReadRKey("IdleMinutes", minutes);
    } catch (const ERegistryException&) {
        minutes = kDefaultIdleMinutes;
    }
    return 60 * (minutes >= kMinIdleMinutes && minutes <= kMaxIdleMinutes ? minutes : kDefaultIdleMinutes);
}

// This executable, by the name it has in the file system (so the saver's process is called like
// the program).
std::string ThisExecutable()
{
    const std::string path = plat::RunningExecutable();
    return path.empty() ? "/proc/self/exe" : path;
}

class TIdleWatcher {
public:
    TIdleWatcher(std::string Saver, plat::IdleSource& Source, plat::Bus* Session, plat::QuitSignalDescriptor& Quit)
        : FSaverPath(std::move(Saver)), FSource(Source), FSession(Session), FQuit(Quit)
    {
        if (FSession == nullptr)
            return;
        FService = std::make_unique<plat::ScreenSaverService>(*FSession);
        FService->OnActivity = [this] { Activity(); };
        if (!FService->Serving()) {
            FDesktop = std::make_unique<plat::PowerManagementInhibit>(*FSession);
            FDesktop->OnEnded = [this] { Activity(); };
        }
    }

    // Watches until the session ends (0) or an end is asked for (0).
    int Run();

private:
    // False when the source's news is that the session has gone.
    bool Take(plat::TIdleNews News);
    void Idle();
    void Activity();
    void SaverEnded();
    bool Inhibited() const;

    std::string FSaverPath;
    plat::IdleSource& FSource;
    plat::Bus* FSession;
    plat::QuitSignalDescriptor& FQuit;
    std::unique_ptr<plat::ScreenSaverService> FService;
    std::unique_ptr<plat::PowerManagementInhibit> FDesktop;  // where a desktop owns the service
    plat::ChildProgram FSaver;
};

int TIdleWatcher::Run()
{
    for (;;) {
        if (FSession != nullptr && !FSession->Process()) {
            std::fprintf(stderr, "solvane: the session bus went away; the idle watcher ends\n");
            return 0;
        }
        if (FSource.Descriptor() < 0 && !Take(FSource.Read()))
            return 0;
        std::vector<plat::TDescriptorWait> waits{
            {FQuit.Descriptor()},
            {FSaver.Descriptor()},
            {FSource.Descriptor()},
            {FSession ? FSession->Descriptor() : -1, FSession ? FSession->Events() : short(0)}};
        plat::WaitForAny(waits);
        if (waits[0].Ready && FQuit.Take())
            return 0;
        if (waits[1].Ready && FSaver.Reap())
            SaverEnded();
        if (waits[2].Ready && !Take(FSource.Read()))
            return 0;
    }
}

bool TIdleWatcher::Take(plat::TIdleNews News)
{
    if (News == plat::TIdleNews::Gone) {
        std::fprintf(stderr, "solvane: the session's display went away; the idle watcher ends\n");
        return false;
    }
    if (News == plat::TIdleNews::Idle)
        Idle();
    return true;
}

void TIdleWatcher::Idle()
{
    // Held off: the end of the inhibition counts the idle time anew (Activity); over a lock
    // screen, the next idle time after the input that unlocks it.
    if (FSaver.Running() || Inhibited())
        return;
    if (plat::SessionLocked(FSession, FService && !FService->Serving()))
        return;
    if (!FSaver.Start({FSaverPath, "/s"})) {
        std::fprintf(stderr, "solvane: the saver cannot be started\n");
        FSource.Restart();
        return;
    }
    if (FService)
        FService->SetActive(true);
}

bool TIdleWatcher::Inhibited() const
{
    return (FService && FService->Inhibited()) || (FDesktop && FDesktop->Inhibited());
}

void TIdleWatcher::Activity()
{
    if (!FSaver.Running())
        FSource.Restart();
}

void TIdleWatcher::SaverEnded()
{
    if (FService)
        FService->SetActive(false);
    FSource.Resume();
}

}  // namespace

int RunIdleWatcher(const TStart& Start)
{
    if (!Start.Fault.empty()) {
        std::fprintf(stderr, "solvane: %s\n", Start.Fault.c_str());
        return 1;
    }
    const int seconds = Start.IdleSeconds > 0 ? Start.IdleSeconds : IdleSecondsSetting();
    if (!plat::HasSessionDisplay()) {
        std::fprintf(stderr, "solvane: --idle needs a desktop session: neither WAYLAND_DISPLAY nor DISPLAY is set\n");
        return 1;
    }
    // Before the lock is taken: an end request that comes right after it must find the mask set.
    plat::QuitSignalDescriptor quit;
    plat::RuntimeLock lock;
    if (!plat::HoldIdleWatcherLock(lock)) {
        std::fprintf(stderr, "solvane: an idle watcher already runs in this session (process %d)\n",
                     static_cast<int>(plat::RunningIdleWatcher()));
        return 1;
    }
    const std::unique_ptr<plat::Bus> session = plat::Bus::Session();
    std::string error;
    const std::unique_ptr<plat::IdleSource> source = plat::OpenSessionIdle(session.get(), seconds, error);
    if (!source) {
        std::fprintf(stderr, "solvane: --idle: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "solvane: the saver starts after %d s without input (%s)\n", seconds, source->Name());
    TIdleWatcher watcher(ThisExecutable(), *source, session.get(), quit);
    const int status = watcher.Run();
    // A watcher started next need not wait for the saver's end.
    lock.Release();
    return status;
}

}  // namespace shell
