#ifndef VANTREL_IOS_SUPPORTFUNCTIONS_HOSTCLOCK_H
#define VANTREL_IOS_SUPPORTFUNCTIONS_HOSTCLOCK_H

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXDateTime.h"

namespace fmlib
{
// Seconds between the host's epoch (0001-01-01 00:00:00) and the Unix epoch.
constexpr double kHostEpochOffset = 62135596800.0;

// The host's count of seconds for a clock reading: seconds - 60 * minutesWest + 3600 * dst + offset + usec / 1e6.
double HostSecondsFromClock(long seconds, long microseconds, int minutesWest, int daylightSaving);

// Sets dateTime to the host seconds given (a fixed-point number of precision 16 carries the fraction).
void SetDateTimeFromHostSeconds(fmx::DateTime &dateTime, double hostSeconds);

// Sets dateTime to now, corrected by the C library's time-zone record (zero on Linux: UTC).
void SetDateTimeToNow(fmx::DateTime &dateTime);
}

#endif
