#include "platform/app/Application.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <future>
#include <vector>

namespace plat {

std::atomic<void (*)(Application&)> Application::FSdlInput{nullptr};
std::atomic<bool (*)(const std::string&, const std::string&)> Application::FSdlMessageBox{nullptr};

Application& App()
{
    static Application instance;
    return instance;
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
    FireDueTimers();
    RunPosted();
    PresentHosts();
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
    FWake.notify_one();
    if (TWindowSystem* system = FWindowSystem)
        system->Wake();
}

void Application::WakeUp()
{
    {
        std::lock_guard<std::mutex> guard(FLock);
        FWokenUp = true;
    }
    FWake.notify_one();
    if (TWindowSystem* system = FWindowSystem)
        system->Wake();
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
    const int id = FNextTimerId++;
    const std::chrono::milliseconds interval(IntervalMs);
    FTimers[id] = WindowTimer{interval, Clock::now() + interval, std::move(OnTimer)};
    return id;
}

void Application::KillTimer(int Id)
{
    FTimers.erase(Id);
}

void Application::FireDueTimers()
{
    const auto now = Clock::now();
    std::vector<int> due;
    for (auto& [id, timer] : FTimers)
        if (timer.Due <= now)
            due.push_back(id);
    for (int id : due) {
        // A handler may kill its own timer or others; look each one up again.
        auto it = FTimers.find(id);
        if (it == FTimers.end())
            continue;
        it->second.Due = now + it->second.Interval;
        Task handler = it->second.OnTimer;
        handler();
    }
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

void Application::WaitForWork()
{
    auto deadline = Clock::now() + std::chrono::milliseconds(10);
    for (auto& [id, timer] : FTimers)
        if (timer.Due < deadline)
            deadline = timer.Due;
    std::unique_lock<std::mutex> guard(FLock);
    if (TWindowSystem* system = FWindowSystem) {
        // Work posted after this check wakes the window system's wait instead.
        const bool pending = !FPosted.empty() || FWokenUp;
        FWokenUp = false;
        guard.unlock();
        if (!pending)
            system->Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
                std::max(deadline - Clock::now(), Clock::duration::zero())));
        return;
    }
    FWake.wait_until(guard, deadline, [this] { return !FPosted.empty() || FWokenUp; });
    FWokenUp = false;
}

}  // namespace plat
