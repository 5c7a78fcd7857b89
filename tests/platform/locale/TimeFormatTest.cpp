// The locale's short time format, from the locale's own data: en_US gives "2:35 PM"; en_GB,
// de_DE and C give "14:35"; seconds leave with their separator or their unit, a time zone with its
// blank (en_IN, sq_AL); the environment's LC_TIME wins over LANG.
#include "platform/locale/TimeFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string At1435(const plat::TimeFormat& Format)
{
    std::tm Time{};
    Time.tm_hour = 14;
    Time.tm_min = 35;
    Time.tm_sec = 7;
    char Text[256];
    return std::string(Text, Format.Format(Time, Text, sizeof Text));
}

TEST(TimeFormat, EachLocaleGivesItsOwnTimeWithoutSeconds)
{
    EXPECT_EQ(At1435(plat::TimeFormat("en_US.UTF-8")), "2:35 PM");
    EXPECT_EQ(At1435(plat::TimeFormat("en_GB.UTF-8")), "14:35");
    EXPECT_EQ(At1435(plat::TimeFormat("de_DE.UTF-8")), "14:35");
    EXPECT_EQ(At1435(plat::TimeFormat("C")), "14:35");
    EXPECT_EQ(At1435(plat::TimeFormat("xx_NOWHERE.UTF-8")), "14:35");  // not installed: C
    EXPECT_EQ(plat::ShortTimePattern("%r", "%I:%M:%S %p"), "%-I:%M %p");
    EXPECT_EQ(plat::ShortTimePattern("%H.%M.%S", ""), "%H.%M");
    EXPECT_EQ(plat::ShortTimePattern("%H\xEC\x8B\x9C %M\xEB\xB6\x84 %S\xEC\xB4\x88", ""),
              "%H\xEC\x8B\x9C %M\xEB\xB6\x84");
    // A time zone leaves with its blank; seconds between two separators leave a blank behind.
    EXPECT_EQ(plat::ShortTimePattern("%Z %I:%M:%S %p", ""), "%-I:%M %p");
    EXPECT_EQ(plat::ShortTimePattern("%H:%M:%S %z", ""), "%H:%M");
    EXPECT_EQ(At1435(plat::TimeFormat("en_IN.UTF-8")), "2:35 PM");
    EXPECT_EQ(plat::TimeFormat("sq_AL.UTF-8").Pattern(), "%-I:%M %p");
}

TEST(TimeFormat, TheEnvironmentNamesTheLocaleLcTimeBeforeLang)
{
    const char* Names[] = {"LC_ALL", "LC_TIME", "LANG"};
    std::string Saved[3];
    bool Had[3];
    for (int i = 0; i < 3; ++i) {
        const char* Value = std::getenv(Names[i]);
        Had[i] = Value != nullptr;
        Saved[i] = Value ? Value : "";
    }
    ::unsetenv("LC_ALL");
    ::setenv("LANG", "en_US.UTF-8", 1);
    ::unsetenv("LC_TIME");
    EXPECT_EQ(At1435(plat::TimeFormat()), "2:35 PM");
    ::setenv("LC_TIME", "de_DE.UTF-8", 1);
    EXPECT_EQ(At1435(plat::TimeFormat()), "14:35");
    for (int i = 0; i < 3; ++i)
        Had[i] ? ::setenv(Names[i], Saved[i].c_str(), 1) : ::unsetenv(Names[i]);
}

}  // namespace
