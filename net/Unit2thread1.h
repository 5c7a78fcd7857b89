// WeatherHTTP, the feed thread: it only paces. It has the UI thread run FeedTick at once, then
// just after every change of the wall clock's minute (and at least every few seconds), and once
// more at once when a tick found a refresh due; it sleeps in between. The fetches themselves run
// inside FeedTick on the UI thread.
//
// FeedTick refreshes at its first call and then after every thirty changes of the minute: the
// weather fetch when ShowWeather is on (the live source, or the RSS feed server that the
// "WeatherFeed" setting names), then the news fetch when ShowNews is on. Any error of a fetch
// (a socket error or time-out, an error page, a weather code or proxy port that is not a number,
// an empty news address) ends that fetch alone: the gadgets keep what was handed over until then,
// the other fetch still runs, and the next refresh comes on time.
//
// Lifetime: made running by the saver window's start (the scene's OnStartFeeds), asked to end by
// Terminate at the head of ExitSaver, which also cancels a fetch in progress so that the saver
// ends at once; owned by the window, whose destruction waits for the thread. Terminate and
// FeedTick run on the UI thread.
#pragma once

#include "net/FeedRequest.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class THttpClient;
class TNewsValues;
class TWeatherValues;

namespace plat {
class Application;
}

// The local time's minute of the hour (0-59).
int32_t LocalMinute();
// How long the thread sleeps after a tick: until just after the wall clock's next minute
// boundary, at most a few seconds.
std::chrono::milliseconds UntilNextMinute();

// What the feed work reads and writes; everything belongs to the saver window (the values are
// its gadgets).
struct TFeedTargets {
    THttpClient* HTTP1 = nullptr;
    TWeatherValues* Weather = nullptr;  // also holds RefreshCounter
    TNewsValues* News = nullptr;
    std::string* NewsLink = nullptr;
    std::function<TFeedSettings()> Settings;
    std::function<int32_t()> Minute = LocalMinute;
    std::function<std::chrono::milliseconds()> UntilNextTick = UntilNextMinute;
};

class WeatherHTTP {
public:
    WeatherHTTP(plat::Application& AApplication, TFeedTargets ATargets, bool CreateSuspended = false);
    ~WeatherHTTP();
    WeatherHTTP(const WeatherHTTP&) = delete;
    WeatherHTTP& operator=(const WeatherHTTP&) = delete;

    void Start();
    void Terminate();
    bool Terminated() const;
    // The pacing loop has ended: terminated, or an error ended it.
    bool Finished() const;

    void FeedTick();

    // The minute seen by the previous FeedTick.
    int32_t LastMinute = 0;

private:
    struct TShared;
    void Execute();
    bool TickOnUiThread();
    void Refresh();

    plat::Application& FApplication;
    TFeedTargets FTargets;
    std::shared_ptr<TShared> FShared;
    bool FFetching = false;
    std::thread FThread;
};
