#include "iOS_SupportFunctions/HostClock.h"

#include <sys/time.h>

#include "FMWrapper/FMXFixPt.h"

namespace fmlib
{
double HostSecondsFromClock(long seconds, long microseconds, int minutesWest, int daylightSaving)
{
    double count = static_cast<double>(seconds) - 60.0 * minutesWest + 3600.0 * daylightSaving;
    count += kHostEpochOffset;
    count += static_cast<double>(microseconds) / 1000000.0;
    return count;
}

void SetDateTimeFromHostSeconds(fmx::DateTime &dateTime, double hostSeconds)
{
    fmx::FixPtUniquePtr seconds(0, fmx::FixPt::kDefltFixedPrecision);
    seconds->AssignDouble(hostSeconds);
    dateTime.SetSecondsSinceEpoch(*seconds);
}

void SetDateTimeToNow(fmx::DateTime &dateTime)
{
    struct timeval now = {};
    struct timezone zone = {};
    gettimeofday(&now, &zone);
    SetDateTimeFromHostSeconds(dateTime,
                               HostSecondsFromClock(now.tv_sec, now.tv_usec, zone.tz_minuteswest, zone.tz_dsttime));
}
}
