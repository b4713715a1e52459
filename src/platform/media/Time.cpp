#include "platform/media/Time.h"

#include "platform/Testing.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>

namespace {

namespace chr = std::chrono;

std::atomic<LocalClockSource> g_clockSource{nullptr};

constexpr std::int64_t kSecondsPerDay = 86400;

// DATE 0 and the first and last days a DATE may name, as days from DATE 0.
constexpr chr::sys_days kEpoch{chr::year{1899} / chr::December / 30};
constexpr std::int64_t kFirstDay = (chr::sys_days{chr::year{100} / chr::January / 1} - kEpoch).count();    // -657434
constexpr std::int64_t kLastDay = (chr::sys_days{chr::year{9999} / chr::December / 31} - kEpoch).count();  // 2958465

// Fills the calendar fields of `time` from a day and a time of day.
void SetDayAndTime(chr::sys_days day, chr::milliseconds sinceMidnight, LPSYSTEMTIME time)
{
    const chr::year_month_day date{day};
    const chr::hh_mm_ss clock{sinceMidnight};
    time->wYear = static_cast<WORD>(static_cast<int>(date.year()));
    time->wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    time->wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    time->wDayOfWeek = static_cast<WORD>(chr::weekday{day}.c_encoding());
    time->wHour = static_cast<WORD>(clock.hours().count());
    time->wMinute = static_cast<WORD>(clock.minutes().count());
    time->wSecond = static_cast<WORD>(clock.seconds().count());
    time->wMilliseconds = static_cast<WORD>(clock.subseconds().count());
}

void ReadSystemClock(LPSYSTEMTIME time)
{
    const auto now = chr::floor<chr::milliseconds>(chr::system_clock::now());
    // The zone's offset at this instant, daylight saving included, comes from
    // the C library: it knows TZ and the zone database.
    const std::time_t seconds = chr::system_clock::to_time_t(now);
    tm local{};
    localtime_r(&seconds, &local);
    const auto wallClock = now + chr::seconds{local.tm_gmtoff};
    const auto day = chr::floor<chr::days>(wallClock);
    SetDayAndTime(day, wallClock - day, time);
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
    const chr::year_month_day calendarDay{chr::year{time->wYear}, chr::month{time->wMonth}, chr::day{time->wDay}};
    if (time->wYear < 100 || time->wYear > 9999 || !calendarDay.ok() || time->wHour > 23 || time->wMinute > 59 ||
        time->wSecond > 59)
        return FALSE;

    const std::int64_t days = (chr::sys_days{calendarDay} - kEpoch).count();
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

    SetDayAndTime(kEpoch + chr::days{days}, chr::seconds{seconds}, time);
    return TRUE;
}
