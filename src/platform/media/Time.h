// The local clock and OLE automation dates, Win32-shaped. Qt-free.
//
// An OLE automation date (DATE) counts days since midnight of 30 December
// 1899; the fraction is the time of day. Dates before that day are negative,
// and their fraction still counts forward from midnight: -1.25 is
// 29 December 1899, 06:00. Local wall-clock time is stored as it reads, with
// no time zone and no daylight-saving adjustment.
#pragma once

#include "platform/Types.h"

struct SYSTEMTIME {
    WORD wYear;          // 100 to 9999 for a date that converts
    WORD wMonth;         // 1 to 12
    WORD wDayOfWeek;     // 0 Sunday to 6 Saturday; ignored on input
    WORD wDay;           // 1 to the length of the month
    WORD wHour;          // 0 to 23
    WORD wMinute;        // 0 to 59
    WORD wSecond;        // 0 to 59
    WORD wMilliseconds;  // 0 to 999; dates keep whole seconds only
};
using LPSYSTEMTIME = SYSTEMTIME*;

// Reads the local wall clock (the process's time zone, TZ).
void GetLocalTime(LPSYSTEMTIME time);

// Converts a calendar date and time to a DATE, dropping the milliseconds.
// Returns FALSE and leaves *date alone when a field is out of range (month 13,
// 30 February, 24:00, a year outside 100 to 9999).
int SystemTimeToVariantTime(const SYSTEMTIME* time, double* date);

// Converts a DATE back to the calendar, rounded to the nearest second, so a
// time converted to a DATE comes back unchanged. wMilliseconds is 0 and
// wDayOfWeek is filled in. Returns FALSE and leaves *time alone for a value
// outside years 100 to 9999 or that is not a number.
int VariantTimeToSystemTime(double date, LPSYSTEMTIME time);
