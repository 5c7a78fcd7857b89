// What the feed readers hand over, and to whom: the weather values and the news values. The
// gadgets implement these, so the readers never see a sprite, and a test or a fuzzer can take the
// values with a plain recorder. The setters run on the UI thread.
#pragma once

#include <cstdint>
#include <string>

class TWeatherValues {
public:
    // Condition codes 0..47, 48 for "not available".
    virtual void SetTodayCode(int32_t Code) = 0;
    virtual void SetTomorrowCode(int32_t Code) = 0;
    // Temperatures as the source wrote them, "NA" when not available.
    virtual void SetTodayNow(const std::string& Text) = 0;
    virtual void SetTomorrowHi(const std::string& Text) = 0;
    virtual void SetTomorrowLow(const std::string& Text) = 0;

    // Minutes counted by the feed thread to pace its downloads; kept beside the values it paces
    // so that a new thread for the same window goes on with the count. Nothing else reads it.
    int32_t RefreshCounter = 0;

protected:
    ~TWeatherValues() = default;
};

class TNewsValues {
public:
    // The channel's title, and the line of item titles the ticker scrolls.
    virtual void SetNameNews(const std::string& Text) = 0;
    virtual void SetRssLine(const std::string& Text) = 0;

protected:
    ~TNewsValues() = default;
};
