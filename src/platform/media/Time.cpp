#include "platform/media/Time.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <ctime>

namespace {

std::atomic<LocalClockSource> g_clockSource{nullptr};

constexpr std::int64_t kSecondsPerDay = 86400;

bool IsLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(std::int64_t year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 March of year 0 of the proleptic Gregorian calendar to the
// given date. Counting from March puts the leap day at the end of the year,
// so each 400-year era has the same 146 097 days.
std::int64_t DayNumber(std::int64_t year, int month, int day)
{
    if (month <= 2)
        --year;
    const std::int64_t era = year / 400;  // year >= 99 here, never negative
    const std::int64_t yearOfEra = year - era * 400;
    const int shiftedMonth = month > 2 ? month - 3 : month + 9;  // March is 0
    const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

// The inverse of DayNumber, for day numbers of years 100 and later.
void CivilDate(std::int64_t dayNumber, std::int64_t& year, int& month, int& day)
{
    const std::int64_t era = dayNumber / 146097;
    const std::int64_t dayOfEra = dayNumber - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = static_cast<int>((5 * dayOfYear + 2) / 153);
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

const std::int64_t kEpochDay = DayNumber(1899, 12, 30);             // DATE 0
const std::int64_t kFirstDay = DayNumber(100, 1, 1) - kEpochDay;    // -657434
const std::int64_t kLastDay = DayNumber(9999, 12, 31) - kEpochDay;  // 2958465

void ReadSystemClock(LPSYSTEMTIME time)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    // A leap second reads as :60; the calendar has no room for it.
    time->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

}  // namespace

void SetLocalClockSource(LocalClockSource source)
{
    g_clockSource.store(source);
}

void GetLocalTime(LPSYSTEMTIME time)
{
    if (time == nullptr)
        return;
    const LocalClockSource source = g_clockSource.load();
    if (source != nullptr)
        source(time);
    else
        ReadSystemClock(time);
}

int SystemTimeToVariantTime(const SYSTEMTIME* time, double* date)
{
    if (time == nullptr || date == nullptr)
        return FALSE;
    if (time->wYear < 100 || time->wYear > 9999 || time->wMonth < 1 || time->wMonth > 12 || time->wDay < 1 ||
        time->wDay > DaysInMonth(time->wYear, time->wMonth) || time->wHour > 23 || time->wMinute > 59 ||
        time->wSecond > 59)
        return FALSE;

    const std::int64_t days = DayNumber(time->wYear, time->wMonth, time->wDay) - kEpochDay;
    const double fraction =
        static_cast<double>(time->wHour * 3600 + time->wMinute * 60 + time->wSecond) / kSecondsPerDay;
    // Before the epoch the day counts down but the time of day still counts up.
    *date = days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
    return TRUE;
}

int VariantTimeToSystemTime(double date, LPSYSTEMTIME time)
{
    if (time == nullptr || !std::isfinite(date) || date <= static_cast<double>(kFirstDay - 1) ||
        date >= static_cast<double>(kLastDay + 1))
        return FALSE;

    std::int64_t days = static_cast<std::int64_t>(date);  // toward zero: the calendar day
    const double fraction = std::fabs(date - static_cast<double>(days));
    std::int64_t seconds = std::llround(fraction * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        // Within half a second of the next midnight.
        seconds -= kSecondsPerDay;
        ++days;
    }
    if (days < kFirstDay || days > kLastDay)
        return FALSE;

    const std::int64_t dayNumber = days + kEpochDay;
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
    CivilDate(dayNumber, year, month, day);
    time->wYear = static_cast<WORD>(year);
    time->wMonth = static_cast<WORD>(month);
    time->wDay = static_cast<WORD>(day);
    // 30 December 1899 was a Saturday.
    time->wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 6) % 7);
    time->wHour = static_cast<WORD>(seconds / 3600);
    time->wMinute = static_cast<WORD>(seconds / 60 % 60);
    time->wSecond = static_cast<WORD>(seconds % 60);
    time->wMilliseconds = 0;
    return TRUE;
}
