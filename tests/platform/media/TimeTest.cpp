#include "platform/media/Time.h"
#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace {

SYSTEMTIME Make(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = static_cast<WORD>(ms);
    return t;
}

void ExpectSameTime(const SYSTEMTIME& expected, const SYSTEMTIME& actual)
{
    EXPECT_EQ(expected.wYear, actual.wYear);
    EXPECT_EQ(expected.wMonth, actual.wMonth);
    EXPECT_EQ(expected.wDay, actual.wDay);
    EXPECT_EQ(expected.wHour, actual.wHour);
    EXPECT_EQ(expected.wMinute, actual.wMinute);
    EXPECT_EQ(expected.wSecond, actual.wSecond);
}

constexpr double kSecond = 1.0 / 86400.0;

struct KnownDate {
    SYSTEMTIME time;
    double date;
    int dayOfWeek;
};

TEST(DateConversion, KnownDatesConvertBothWays)
{
    const KnownDate cases[] = {
        {Make(1899, 12, 30), 0.0, 6},       {Make(1899, 12, 30, 12), 0.5, 6},
        {Make(1899, 12, 31), 1.0, 0},       {Make(1900, 1, 1), 2.0, 1},
        {Make(1900, 2, 28), 60.0, 3},       {Make(1900, 3, 1), 61.0, 4},  // 1900 has no 29 February
        {Make(1899, 12, 29, 6), -1.25, 5},  {Make(1899, 12, 28, 18), -2.75, 4},
        {Make(2000, 1, 1), 36526.0, 6},     {Make(2000, 2, 29), 36585.0, 2},
        {Make(2000, 3, 1, 6), 36586.25, 3}, {Make(2024, 2, 29, 18), 45351.75, 4},
        {Make(2024, 3, 1), 45352.0, 5},     {Make(100, 1, 1), -657434.0, 5},
        {Make(9999, 12, 31), 2958465.0, 5},
    };
    for (const KnownDate& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time.wYear << "-" << c.time.wMonth << "-" << c.time.wDay << " "
                                        << c.time.wHour);
        double date = 0.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&c.time, &date));
        EXPECT_DOUBLE_EQ(c.date, date);
        SYSTEMTIME back{};
        ASSERT_TRUE(VariantTimeToSystemTime(c.date, &back));
        ExpectSameTime(c.time, back);
        EXPECT_EQ(c.dayOfWeek, back.wDayOfWeek);
        EXPECT_EQ(0, back.wMilliseconds);
    }
}

// The times where a date value is most likely to drift or carry wrongly:
// the last second of a day, month ends, leap days, the epoch, and wall-clock
// times that a daylight-saving change skips or repeats (stored as they read).
TEST(DateConversion, EdgeTimesComeBackToTheSecond)
{
    const SYSTEMTIME cases[] = {
        Make(1899, 12, 29, 23, 59, 59), Make(1899, 12, 30, 0, 0, 1),    Make(1899, 12, 30, 23, 59, 59),
        Make(1899, 12, 31, 23, 59, 59), Make(1900, 2, 28, 23, 59, 59),  Make(2000, 2, 29, 23, 59, 59),
        Make(2023, 2, 28, 23, 59, 59),  Make(2024, 2, 29, 23, 59, 59),  Make(2024, 4, 30, 23, 59, 59),
        Make(2024, 12, 31, 23, 59, 59), Make(2025, 1, 1, 0, 0, 0),      Make(2024, 3, 31, 2, 30, 0),
        Make(2024, 10, 27, 2, 30, 0),   Make(2024, 3, 10, 2, 15, 30),   Make(100, 1, 1, 0, 0, 1),
        Make(100, 1, 1, 23, 59, 59),    Make(9999, 12, 31, 23, 59, 59),
    };
    for (const SYSTEMTIME& t : cases) {
        SCOPED_TRACE(testing::Message() << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << t.wHour << ":"
                                        << t.wMinute << ":" << t.wSecond);
        double date = 0.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&t, &date));
        SYSTEMTIME back{};
        ASSERT_TRUE(VariantTimeToSystemTime(date, &back));
        ExpectSameTime(t, back);
    }
}

TEST(DateConversion, EverySecondOfADayComesBack)
{
    for (int year : {1899, 2024}) {
        for (int s = 0; s < 86400; ++s) {
            const SYSTEMTIME t = Make(year, 12, 29, s / 3600, s / 60 % 60, s % 60);
            double date = 0.0;
            ASSERT_TRUE(SystemTimeToVariantTime(&t, &date));
            SYSTEMTIME back{};
            ASSERT_TRUE(VariantTimeToSystemTime(date, &back));
            ASSERT_EQ(t.wDay, back.wDay) << year << " second " << s;
            ASSERT_EQ(s, back.wHour * 3600 + back.wMinute * 60 + back.wSecond) << year;
        }
    }
}

TEST(DateConversion, ConsecutiveDaysAreOneApartAcrossCenturies)
{
    // Walks the calendar day by day from 1600 to 2401 and checks each date
    // against the previous one: catches any month or leap-year slip.
    SYSTEMTIME previous{};
    ASSERT_TRUE(VariantTimeToSystemTime(-109571.0, &previous));  // 1600-01-01
    ASSERT_EQ(1600, previous.wYear);
    for (double day = -109570.0; day <= 182989.0; day += 1.0) {
        SYSTEMTIME t{};
        ASSERT_TRUE(VariantTimeToSystemTime(day, &t));
        const bool nextDay = t.wDay == previous.wDay + 1 && t.wMonth == previous.wMonth && t.wYear == previous.wYear;
        const bool nextMonth = t.wDay == 1 && t.wMonth == previous.wMonth + 1 && t.wYear == previous.wYear;
        const bool nextYear = t.wDay == 1 && t.wMonth == 1 && previous.wMonth == 12 && t.wYear == previous.wYear + 1;
        ASSERT_TRUE(nextDay || nextMonth || nextYear)
            << "after " << previous.wYear << "-" << previous.wMonth << "-" << previous.wDay;
        ASSERT_EQ((previous.wDayOfWeek + 1) % 7, t.wDayOfWeek);
        double date = 0.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&t, &date));
        ASSERT_EQ(day, date);
        if (t.wMonth == 2 && t.wDay == 29) {
            const int y = t.wYear;
            ASSERT_TRUE((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) << y;
        }
        previous = t;
    }
    EXPECT_EQ(2401, previous.wYear);
}

TEST(DateConversion, MillisecondsAreDropped)
{
    double whole = 0.0;
    double withMs = 0.0;
    const SYSTEMTIME a = Make(2024, 6, 1, 23, 59, 59);
    const SYSTEMTIME b = Make(2024, 6, 1, 23, 59, 59, 999);
    ASSERT_TRUE(SystemTimeToVariantTime(&a, &whole));
    ASSERT_TRUE(SystemTimeToVariantTime(&b, &withMs));
    EXPECT_EQ(whole, withMs);
}

TEST(DateConversion, ValuesBetweenSecondsRoundToTheNearest)
{
    struct Case {
        double date;
        SYSTEMTIME expected;
    };
    const Case cases[] = {
        {2.0 - 0.4 * kSecond, Make(1900, 1, 1)},  // just before midnight carries
        {2.0 - 0.6 * kSecond, Make(1899, 12, 31, 23, 59, 59)},
        {-1.0 - (1.0 - 0.4 * kSecond), Make(1899, 12, 30)},  // 29 Dec, 23:59:59.6
        {0.5 + 0.3 * kSecond, Make(1899, 12, 30, 12)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        SYSTEMTIME t{};
        ASSERT_TRUE(VariantTimeToSystemTime(c.date, &t));
        ExpectSameTime(c.expected, t);
    }
}

TEST(DateConversion, InvalidCalendarFieldsAreRefused)
{
    const SYSTEMTIME cases[] = {
        Make(1900, 2, 29),          Make(2023, 2, 29), Make(2100, 2, 29), Make(2024, 4, 31),    Make(2024, 0, 1),
        Make(2024, 13, 1),          Make(2024, 1, 0),  Make(2024, 1, 32), Make(2024, 1, 1, 24), Make(2024, 1, 1, 0, 60),
        Make(2024, 1, 1, 0, 0, 60), Make(99, 12, 31),  Make(10000, 1, 1),
    };
    for (const SYSTEMTIME& t : cases) {
        SCOPED_TRACE(testing::Message() << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << t.wHour << ":"
                                        << t.wMinute << ":" << t.wSecond);
        double date = 12345.5;
        EXPECT_FALSE(SystemTimeToVariantTime(&t, &date));
        EXPECT_EQ(12345.5, date);
    }
}

TEST(DateConversion, DatesOutsideTheCalendarAreRefused)
{
    const double cases[] = {
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        -657435.0,
        2958466.0,
        2958466.0 - 0.1 * kSecond,
        1e300,
    };
    for (double date : cases) {
        SCOPED_TRACE(date);
        SYSTEMTIME t = Make(2001, 2, 3, 4, 5, 6);
        EXPECT_FALSE(VariantTimeToSystemTime(date, &t));
        ExpectSameTime(Make(2001, 2, 3, 4, 5, 6), t);
    }
}

TEST(LocalClock, ReadsTheLocalWallClock)
{
    // Retried in the rare case the second turns over between the readings.
    // The readings around it come from the clock GetLocalTime reads: time()
    // reads a coarser one, which can still show the second before.
    const auto second = [] { return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()); };
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = second();
        SYSTEMTIME now{};
        GetLocalTime(&now);
        const std::time_t after = second();
        if (before != after)
            continue;
        std::tm local{};
        localtime_r(&before, &local);
        EXPECT_EQ(local.tm_year + 1900, now.wYear);
        EXPECT_EQ(local.tm_mon + 1, now.wMonth);
        EXPECT_EQ(local.tm_mday, now.wDay);
        EXPECT_EQ(local.tm_wday, now.wDayOfWeek);
        EXPECT_EQ(local.tm_hour, now.wHour);
        EXPECT_EQ(local.tm_min, now.wMinute);
        EXPECT_EQ(local.tm_sec, now.wSecond);
        EXPECT_LT(now.wMilliseconds, 1000);
        return;
    }
    FAIL() << "the clock kept turning over";
}

TEST(LocalClock, ASourceReplacesTheClockUntilRemoved)
{
    SetLocalClockSource([](LPSYSTEMTIME t) { *t = Make(2024, 2, 29, 23, 59, 59, 500); });
    SYSTEMTIME fixed{};
    GetLocalTime(&fixed);
    ExpectSameTime(Make(2024, 2, 29, 23, 59, 59), fixed);
    SetLocalClockSource(nullptr);
    SYSTEMTIME real{};
    GetLocalTime(&real);
    EXPECT_GE(real.wYear, 2024);
    EXPECT_FALSE(real.wYear == 2024 && real.wMonth == 2 && real.wDay == 29 && real.wHour == 23 && real.wMinute == 59);
}

}  // namespace
