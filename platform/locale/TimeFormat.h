// The local time and the locale's own short time format: the locale's default time format with
// its seconds field taken out, the way a clock shows the time.
//
// The format comes from the locale's data (its time format, and for a 12-hour format its AM/PM
// format), never from a table of our own: composite conversions are spelt out, then the seconds
// conversion leaves together with the separator that joins it to the field before it ("%H:%M:%S"
// becomes "%H:%M"), or, where the seconds carry a unit of their own after them ("%M분 %S초"),
// together with that unit; seconds between two separators ("%M:%S.%p") leave with both, a blank
// taking their place. A time zone (%Z, %z) leaves with the blank before it. The 12-hour hour
// loses its leading zero ("%I" becomes "%-I"), so en_US gives "2:35 PM", en_IN "2:35 PM" (not
// "2:35 PM IST"), while en_GB, de_DE and C give "14:35".
//
// A TimeFormat holds its locale object; formatting allocates nothing and may run on any thread.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>

namespace plat {

// The local wall-clock time now.
std::tm LocalNow();

// The time format of a locale's data without its seconds (see above): Format is the locale's
// time format, AmPmFormat its 12-hour format (used where Format refers to it).
std::string ShortTimePattern(const std::string& Format, const std::string& AmPmFormat);

class TimeFormat {
public:
    // The locale the process runs in, as the environment names it (LC_ALL, else LC_TIME, else
    // LANG); the C locale when that one is not installed.
    TimeFormat();
    // A named locale ("en_US.UTF-8"); the C locale when it is not installed.
    explicit TimeFormat(const char* LocaleName);
    // An explicit strftime pattern, with a named locale's names for months and AM/PM.
    TimeFormat(const char* LocaleName, std::string Pattern);
    ~TimeFormat();
    TimeFormat(TimeFormat&& Other) noexcept;
    TimeFormat& operator=(TimeFormat&& Other) noexcept;
    TimeFormat(const TimeFormat&) = delete;
    TimeFormat& operator=(const TimeFormat&) = delete;

    const std::string& Pattern() const { return FPattern; }
    // Writes the time into Out (Size bytes, with the terminating zero); returns its length, 0 when
    // it does not fit.
    size_t Format(const std::tm& Time, char* Out, size_t Size) const;

private:
    void Open(const char* LocaleName);

    void* FLocale = nullptr;  // locale_t
    std::string FPattern;
};

}  // namespace plat
