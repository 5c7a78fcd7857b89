#include "platform/app/Application.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <future>
#include <vector>

namespace plat {
namespace {

// The longest sleep between passes: SDL's own threads may queue an event without waking anyone.
constexpr std::chrono::milliseconds kLongestSleep{1000};
// While no host's window can be seen, window timers run at passes this far apart at the closest.
constexpr std::chrono::milliseconds kUnseenPass{1000};
// While a host's window is seen its frames come (45 ms apart) and each brings a pass: a window
// timer waits that long at most for one instead of waking the loop by itself.
constexpr std::chrono::milliseconds kFrameSlack{50};

}  // namespace

std::atomic<void (*)(Application&)> Application::FSdlInput{nullptr};
std::atomic<bool (*)(const std::string&, const std::string&)> Application::FSdlMessageBox{nullptr};
std::atomic<void (*)(std::vector<TDescriptorWait>&, int)> Application::FSdlWait{nullptr};

Application& App()
{
    static Application instance;
    return instance;
}

Application::Application() : FWakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Application::~Application()
{
    if (FWakeFd >= 0)
        close(FWakeFd);
}

void Application::Run()
{
    while (!FTerminated) {
        ProcessMessages();
        if (FTerminated)
            break;
        bool done = true;
        // A copy: the handler may remove itself while it runs.
        if (std::function<void(bool&)> idle = OnIdle)
            idle(done);
        if (done)
            WaitForWork();
    }
}

void Application::SetWindowSystem(TWindowSystem* System)
{
    FWindowSystem = System;
}

void Application::ProcessMessages()
{
    if (TakeQuitSignal())
        Quit();
    if (const auto input = FSdlInput.load())
        input(*this);
    if (TWindowSystem* system = FWindowSystem)
        system->Pump();
    FTimers.ProcessMessages();
    RunPosted();
    PresentHosts();
    FollowSight();
}

int Application::AddHost(THostEvents Events)
{
    const int id = FNextHostId++;
    FHosts[id] = std::move(Events);
    return id;
}

void Application::RemoveHost(int Id)
{
    FHosts.erase(Id);
    FUnseenHosts.erase(Id);
}

void Application::SetHostSeen(int Id, bool Seen)
{
    if (Seen)
        FUnseenHosts.erase(Id);
    else if (FHosts.count(Id) != 0)
        FUnseenHosts.insert(Id);
}

void Application::FollowSight()
{
    const bool seen = Seen();
    if (seen == FToldSeen)
        return;
    FToldSeen = seen;
    // A copy: the handler may replace itself.
    if (std::function<void(bool)> handler = OnSight)
        handler(seen);
}

// Handlers may add or remove hosts (a deactivation stops frames, a present may end a host):
// each one is looked up again before it runs.
void Application::Activate()
{
    FFocused = true;
    for (int id : HostIds())
        if (auto it = FHosts.find(id); it != FHosts.end() && it->second.OnActivate)
            Task(it->second.OnActivate)();
}

void Application::Deactivate()
{
    FFocused = false;
    for (int id : HostIds())
        if (auto it = FHosts.find(id); it != FHosts.end() && it->second.OnDeactivate)
            Task(it->second.OnDeactivate)();
}

void Application::PresentHosts()
{
    for (auto& [id, host] : FHosts)
        if (host.OnPresent)
            host.OnPresent();
}

std::vector<int> Application::HostIds() const
{
    std::vector<int> ids;
    for (const auto& [id, host] : FHosts)
        ids.push_back(id);
    return ids;
}

void Application::MessageBox(const std::string& Text, const std::string& Caption)
{
    if (TWindowSystem* system = FWindowSystem; system && system->MessageBox(Text, Caption))
        return;
    if (const auto sdlBox = FSdlMessageBox.load(); sdlBox && sdlBox(Text, Caption))
        return;
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
}

void Application::ShowException(const std::exception& E)
{
    MessageBox(E.what(), Title);
}

void Application::Post(Task ATask)
{
    {
        std::lock_guard<std::mutex> guard(FLock);
        FPosted.push_back(std::move(ATask));
    }
    WakeUp();
}

void Application::WakeUp()
{
    const uint64_t one = 1;
    (void)!write(FWakeFd, &one, sizeof one);
    if (TWindowSystem* system = FWindowSystem)
        system->Wake();
}

bool Application::TakeWakeUps()
{
    uint64_t count = 0;
    return read(FWakeFd, &count, sizeof count) == sizeof count;
}

bool Application::Synchronize(const Task& ATask)
{
    if (FTerminated)
        return false;
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> result = done->get_future();
    Post([done, &ATask] {
        try {
            ATask();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    result.get();
    return true;
}

int Application::SetTimer(uint32_t IntervalMs, Task OnTimer)
{
    return FTimers.SetTimer(IntervalMs, std::move(OnTimer));
}

void Application::KillTimer(int Id)
{
    FTimers.KillTimer(Id);
}

void Application::RunPosted()
{
    std::deque<Task> batch;
    {
        std::lock_guard<std::mutex> guard(FLock);
        batch.swap(FPosted);
    }
    for (auto& task : batch)
        task();
}

// Work posted, a frame finished or a quit signal caught after the pass looked leaves its counter
// readable, so the sleep ends at once.
void Application::WaitForWork()
{
    const int timeout = SleepMs();
    if (TWindowSystem* system = FWindowSystem) {
        // Its Wake ends this wait as well.
        if (!TakeWakeUps())
            system->Wait(std::chrono::milliseconds(timeout));
        return;
    }
    std::vector<TDescriptorWait> waits{{FWakeFd}, {QuitSignalFd()}};
    if (const auto wait = FSdlWait.load())
        wait(waits, timeout);
    else
        WaitForAny(waits, timeout);
    TakeWakeUps();
}

// Until the next window timer is due (a little later while frames come anyway); while nobody sees
// any window, no sooner than kUnseenPass.
int Application::SleepMs() const
{
    const auto now = Clock::now();
    const auto slack = FHosts.empty() ? Clock::duration::zero() : Clock::duration(kFrameSlack);
    auto until = now + kLongestSleep;
    if (const auto due = FTimers.NextDue(); due != Clock::time_point::max())
        until = std::min(until, due + slack);
    if (!Seen())
        until = std::max(until, now + kUnseenPass);
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
    return static_cast<int>(std::max<decltype(ms)>(ms, 0));
}

}  // namespace plat
