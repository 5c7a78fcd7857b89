#include "net/Unit2thread1.h"

#include "net/FeedValues.h"
#include "net/Httpclient.h"
#include "net/NewsFeed.h"
#include "net/OpenMeteo.h"
#include "net/WeatherFeed.h"
#include "platform/app/Application.h"

#include <chrono>
#include <ctime>

namespace {

// Refreshes are thirty minute changes apart.
constexpr int32_t kRefreshMinutes = 30;
// A tick lands this long after the minute boundary, so the clock it reads has turned.
constexpr std::chrono::milliseconds kPastBoundary{20};
// The longest sleep: a clock that is set or a machine that wakes from suspend is noticed soon.
constexpr std::chrono::milliseconds kLongestSleep{5000};

}  // namespace

std::chrono::milliseconds UntilNextMinute()
{
    using namespace std::chrono;
    const auto intoMinute = duration_cast<milliseconds>(system_clock::now().time_since_epoch()) % minutes(1);
    return std::min(duration_cast<milliseconds>(minutes(1)) - intoMinute + kPastBoundary, kLongestSleep);
}

int32_t LocalMinute()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_min;
}

// Shared with the tasks posted to the UI thread, which may outlive the thread object when the
// application ends before running them; a task that finds Terminated set does nothing.
struct WeatherHTTP::TShared {
    std::mutex Lock;
    std::condition_variable Wake;
    bool Terminated = false;
    bool TickDone = false;
    // The last tick left the counter at 0: the refresh is run by the next tick, at once.
    bool RefreshDue = false;
    bool Finished = false;
};

WeatherHTTP::WeatherHTTP(plat::Application& AApplication, TFeedTargets ATargets, bool CreateSuspended)
    : FApplication(AApplication), FTargets(std::move(ATargets)), FShared(std::make_shared<TShared>())
{
    if (!CreateSuspended)
        Start();
}

WeatherHTTP::~WeatherHTTP()
{
    Terminate();
    if (FThread.joinable())
        FThread.join();
}

void WeatherHTTP::Start()
{
    if (!FThread.joinable())
        FThread = std::thread([this] { Execute(); });
}

void WeatherHTTP::Terminate()
{
    {
        std::lock_guard<std::mutex> guard(FShared->Lock);
        FShared->Terminated = true;
    }
    FShared->Wake.notify_all();
    // The fetch in progress ends at its next wait instead of running to its time-out.
    if (FFetching && FTargets.HTTP1)
        FTargets.HTTP1->Abort();
}

bool WeatherHTTP::Terminated() const
{
    std::lock_guard<std::mutex> guard(FShared->Lock);
    return FShared->Terminated;
}

bool WeatherHTTP::Finished() const
{
    std::lock_guard<std::mutex> guard(FShared->Lock);
    return FShared->Finished;
}

void WeatherHTTP::Execute()
{
    while (TickOnUiThread()) {
        std::unique_lock<std::mutex> guard(FShared->Lock);
        if (FShared->RefreshDue)
            continue;
        if (FShared->Wake.wait_for(guard, FTargets.UntilNextTick(), [this] { return FShared->Terminated; }))
            break;
    }
    std::lock_guard<std::mutex> guard(FShared->Lock);
    FShared->Finished = true;
}

// Has the UI thread run FeedTick and waits for it (or for Terminate, which may come from inside
// it). False when the thread is to end.
bool WeatherHTTP::TickOnUiThread()
{
    {
        std::lock_guard<std::mutex> guard(FShared->Lock);
        if (FShared->Terminated)
            return false;
        FShared->TickDone = false;
    }
    FApplication.Post([this, shared = FShared] {
        bool carryOn = false;
        bool due = false;
        {
            std::lock_guard<std::mutex> guard(shared->Lock);
            carryOn = !shared->Terminated;
        }
        if (carryOn) {
            try {
                FeedTick();
                due = FTargets.Weather->RefreshCounter == 0;
            } catch (...) {
                // The fetches catch their own errors; anything else is a fault of the saver's
                // own making, and the thread ends rather than repeat it every minute.
                carryOn = false;
            }
        }
        std::lock_guard<std::mutex> guard(shared->Lock);
        shared->TickDone = true;
        shared->RefreshDue = due;
        if (!carryOn)
            shared->Terminated = true;
        shared->Wake.notify_all();
    });
    std::unique_lock<std::mutex> guard(FShared->Lock);
    FShared->Wake.wait(guard, [this] { return FShared->TickDone || FShared->Terminated; });
    return !FShared->Terminated;
}

// RefreshCounter: 0 means a refresh is due, otherwise 1 plus the minute changes since the last
// one. The first call compares with a LastMinute of 0, so a start outside minute 0 counts a
// change at once and the second refresh comes 29 changes later; after that, every 30.
void WeatherHTTP::FeedTick()
{
    int32_t& counter = FTargets.Weather->RefreshCounter;
    if (counter == 0) {
        Refresh();
        counter = 1;
    }
    const int32_t minute = FTargets.Minute();
    if (minute != LastMinute)
        ++counter;
    if (counter > kRefreshMinutes)
        counter = 0;
    LastMinute = minute;
}

void WeatherHTTP::Refresh()
{
    const TFeedSettings settings = FTargets.Settings();
    struct FetchingScope {
        bool& Flag;
        explicit FetchingScope(bool& AFlag) : Flag(AFlag) { Flag = true; }
        ~FetchingScope() { Flag = false; }
    } fetching(FFetching);
    if (settings.ShowWeather != 0 && settings.WeatherFeed.empty())
        FetchLiveWeather(*FTargets.HTTP1, settings, *FTargets.Weather);
    else if (settings.ShowWeather != 0)
        FetchWeather(*FTargets.HTTP1, settings, *FTargets.Weather);
    // An exit during the weather fetch cancelled it; the news is not started after it.
    if (settings.ShowNews != 0 && !Terminated())
        FetchNews(*FTargets.HTTP1, settings, *FTargets.News, *FTargets.NewsLink, [this] { return Terminated(); });
}
