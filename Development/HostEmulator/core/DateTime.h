// Host dates, times and timestamps: a count of microseconds since 0001-01-01 00:00:00 (proleptic Gregorian).
// A time value uses the same count as a duration, so it may be negative or exceed 24 hours.
//
// Text forms (US): date "12/31/2026" (month/day/year, no leading zeros, four-digit year); time "13:05:09"
// (24-hour, hours unpadded, fractional seconds after a '.' without trailing zeros); timestamp
// "12/31/2026 1:05:09 PM" (12-hour clock with AM/PM). Parsing accepts these forms, ISO dates (2026-12-31),
// times with or without seconds and with an AM/PM suffix, and timestamps with either clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Number.h"

namespace emu {

class DateTime
{
public:
    static constexpr int64_t kUsecPerSec = 1000000;
    static constexpr int64_t kUsecPerDay = 86400LL * kUsecPerSec;
    // The Unix epoch counted in the host's seconds.
    static constexpr int64_t kUnixEpochSeconds = 62135596800LL;

    DateTime() = default;
    explicit DateTime(int64_t usec) : usec_(usec) {}

    int64_t Usec() const { return usec_; }
    void SetUsec(int64_t usec) { usec_ = usec; }

    // Day numbers: 1 is 0001-01-01, as FileMaker counts dates.
    int64_t DayNumber() const;
    void SetDayNumber(int64_t day);  // keeps the time of day
    int64_t UsecOfDay() const;       // 0..kUsecPerDay-1
    void SetUsecOfDay(int64_t usec); // keeps the date

    void YearMonthDay(int64_t &year, int &month, int &day) const;
    // Normalises out-of-range months and days (month 13 is January of the next year, day 0 the last day of
    // the previous month). False when the result lies outside years 1..9999.
    bool SetDate(int64_t year, int64_t month, int64_t day);

    Number Seconds() const;               // the whole count in seconds, with the fraction
    void SetSeconds(const Number &seconds);

    static DateTime Now();  // local wall-clock time

    std::u16string DateText() const;
    std::u16string TimeText() const;       // the count read as a duration
    std::u16string TimestampText() const;

    static bool ParseDate(std::u16string_view text, DateTime &out);
    static bool ParseTime(std::u16string_view text, DateTime &out);
    static bool ParseTimestamp(std::u16string_view text, DateTime &out);

    static int64_t DaysFromCivil(int64_t y, int m, int d);  // 0 for 0001-01-01
    static void CivilFromDays(int64_t days, int64_t &y, int &m, int &d);
    static bool IsLeap(int64_t year);

    bool operator==(const DateTime &o) const { return usec_ == o.usec_; }
    bool operator!=(const DateTime &o) const { return usec_ != o.usec_; }

private:
    int64_t usec_ = 0;
};

} // namespace emu
