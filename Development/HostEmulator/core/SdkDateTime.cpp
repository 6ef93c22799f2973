// FM_DateTime_*: dates, times and timestamps.
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;

namespace {

// Error code of a date or time outside what the host can hold.
constexpr fmx::errcode kErrOutOfRange = kErrBadDate;

DateTime Parse(std::u16string_view text)
{
    DateTime dt;
    if (!DateTime::ParseTimestamp(text, dt) && !DateTime::ParseTime(text, dt))
        dt = DateTime();
    return dt;
}

// Sets the time of day (or a duration, on a value without date) from its parts, keeping the date.
fmx::errcode SetTimeParts(DateTime &dt, const Number &hours, const Number &minutes, const Number &seconds)
{
    Number total = Number::Add(Number::Multiply(hours, Number::FromInt(3600)),
                               Number::Add(Number::Multiply(minutes, Number::FromInt(60)), seconds));
    const Number usec = Number::Multiply(total, Number::FromInt(DateTime::kUsecPerSec)).RoundTo(0);
    // Durations beyond about 292,000 years do not fit the microsecond count.
    if (Number::Compare(usec, Number::FromParts(1, 18)) >= 0 || Number::Compare(usec, Number::FromParts(-1, 18)) <= 0)
        return kErrOutOfRange;
    dt.SetUsecOfDay(0);
    dt.SetUsec(dt.Usec() + usec.ToInt64());
    return 0;
}

// 0: year, 1: month, 2: day.
fmx::int16 CivilPart(const void *self, int which)
{
    int64_t y;
    int m, d;
    Self<fmx::DateTime>(self).YearMonthDay(y, m, d);
    return static_cast<fmx::int16>(which == 0 ? y : which == 1 ? m : d);
}

fmx::int16 WeekOfYear(const DateTime &dt)
{
    int64_t y;
    int m, d;
    dt.YearMonthDay(y, m, d);
    const int64_t jan1 = DateTime::DaysFromCivil(y, 1, 1);
    const int64_t jan1Weekday = (jan1 + 1) % 7;  // 0001-01-01 was a Monday; 0 = Sunday
    const int64_t dayOfYear = DateTime::DaysFromCivil(y, m, d) - jan1;
    return static_cast<fmx::int16>((dayOfYear + jan1Weekday) / 7 + 1);
}

} // namespace

extern "C" {

fmx::DateTime *FM_DateTime_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::DateTime *>(nullptr), [] { return Fmx<fmx::DateTime>(new DateTime); });
}

fmx::DateTime *FM_DateTime_Constructor2(const fmx::unichar16 *dateString, fmx::uint32 dateLength, const fmx::Locale &,
                                        _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::DateTime *>(nullptr), [&] {
        if (!dateString && dateLength != 0)
            throw std::invalid_argument("null string");
        const std::u16string_view text(reinterpret_cast<const char16_t *>(dateString), dateString ? dateLength : 0);
        return Fmx<fmx::DateTime>(new DateTime(Parse(text)));
    });
}

fmx::DateTime *FM_DateTime_Constructor3(const fmx::Text &dateText, const fmx::Locale &, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::DateTime *>(nullptr),
                 [&] { return Fmx<fmx::DateTime>(new DateTime(Parse(Obj(dateText).Chars()))); });
}

void FM_DateTime_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<DateTime *>(_self); }

bool FM_DateTime_operatorEQ(const void *_self, const fmx::DateTime &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::DateTime>(_self) == Obj(that); });
}

bool FM_DateTime_operatorNE(const void *_self, const fmx::DateTime &that, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::DateTime>(_self) != Obj(that); });
}

bool FM_DateTime_IsLeapYear(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return DateTime::IsLeap(CivilPart(_self, 0)); });
}

// 1 = Sunday ... 7 = Saturday, as FileMaker counts.
fmx::int16 FM_DateTime_DayOfWeek(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] {
        const int64_t days = Self<fmx::DateTime>(_self).DayNumber() - 1;
        return static_cast<fmx::int16>(((days + 1) % 7 + 7) % 7 + 1);
    });
}

fmx::int16 FM_DateTime_DayOfYear(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] {
        const DateTime &dt = Self<fmx::DateTime>(_self);
        int64_t y;
        int m, d;
        dt.YearMonthDay(y, m, d);
        return static_cast<fmx::int16>(DateTime::DaysFromCivil(y, m, d) - DateTime::DaysFromCivil(y, 1, 1) + 1);
    });
}

fmx::int16 FM_DateTime_WeekOfYear(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] { return WeekOfYear(Self<fmx::DateTime>(_self)); });
}

void FM_DateTime_Now(void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::DateTime>(_self) = DateTime::Now(); });
}

void FM_DateTime_SetDate(void *_self, const fmx::DateTime &datetime, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::DateTime>(_self).SetDayNumber(Obj(datetime).DayNumber()); });
}

fmx::errcode FM_DateTime_SetNormalizedDate1(void *_self, fmx::int16 month, fmx::int16 day, fmx::int16 year,
                                            _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return Self<fmx::DateTime>(_self).SetDate(year, month, day) ? fmx::errcode(0) : kErrOutOfRange;
    });
}

fmx::errcode FM_DateTime_SetNormalizedDate2(void *_self, const fmx::FixPt &year, const fmx::FixPt &month,
                                            const fmx::FixPt &day, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return Self<fmx::DateTime>(_self).SetDate(Obj(year).ToInt64(), Obj(month).ToInt64(), Obj(day).ToInt64())
            ? fmx::errcode(0)
            : kErrOutOfRange;
    });
}

// Day numbers count as FileMaker's dates do: 1 is 0001-01-01.
void FM_DateTime_SetDaysSinceEpoch(void *_self, fmx::int64 days, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        if (days < 1 || days > DateTime::DaysFromCivil(9999, 12, 31) + 1)
            throw std::out_of_range("day number");
        Self<fmx::DateTime>(_self).SetDayNumber(days);
    });
}

void FM_DateTime_SetTime(void *_self, const fmx::DateTime &datetime, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::DateTime>(_self).SetUsecOfDay(Obj(datetime).UsecOfDay()); });
}

fmx::errcode FM_DateTime_SetNormalizedTime1(void *_self, fmx::int64 hour, fmx::int16 minute, fmx::int16 sec,
                                            fmx::int32 usec, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        const Number seconds = Number::Add(Number::FromInt(sec), Number::FromParts(usec, -6));
        return SetTimeParts(Self<fmx::DateTime>(_self), Number::FromInt(hour), Number::FromInt(minute), seconds);
    });
}

fmx::errcode FM_DateTime_SetNormalizedTime2(void *_self, const fmx::FixPt &hour, const fmx::FixPt &minute,
                                            const fmx::FixPt &sec, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown,
                 [&] { return SetTimeParts(Self<fmx::DateTime>(_self), Obj(hour), Obj(minute), Obj(sec)); });
}

void FM_DateTime_SetSecsSinceMidnight(void *_self, const fmx::FixPt &secs, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        if (SetTimeParts(Self<fmx::DateTime>(_self), Number(), Number(), Obj(secs)) != 0)
            throw std::out_of_range("seconds");
    });
}

// Seconds count from 0001-01-01 00:00:00, as FileMaker's timestamps do.
void FM_DateTime_SetSecondsSinceEpoch(void *_self, const fmx::FixPt &seconds, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] {
        DateTime &dt = Self<fmx::DateTime>(_self);
        dt.SetUsec(0);
        if (SetTimeParts(dt, Number(), Number(), Obj(seconds)) != 0)
            throw std::out_of_range("seconds");
    });
}

fmx::int16 FM_DateTime_GetYear(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] { return CivilPart(_self, 0); });
}

fmx::int16 FM_DateTime_GetMonth(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] { return CivilPart(_self, 1); });
}

fmx::int16 FM_DateTime_GetDay(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] { return CivilPart(_self, 2); });
}

fmx::int32 FM_DateTime_GetDaysSinceEpoch(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(0), [&] { return static_cast<fmx::int32>(Self<fmx::DateTime>(_self).DayNumber()); });
}

fmx::int32 FM_DateTime_GetHour(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(0), [&] {
        return static_cast<fmx::int32>(Self<fmx::DateTime>(_self).UsecOfDay() / (3600 * DateTime::kUsecPerSec));
    });
}

fmx::int16 FM_DateTime_GetMinute(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] {
        return static_cast<fmx::int16>(Self<fmx::DateTime>(_self).UsecOfDay() / (60 * DateTime::kUsecPerSec) % 60);
    });
}

fmx::int16 FM_DateTime_GetSec(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int16(0), [&] {
        return static_cast<fmx::int16>(Self<fmx::DateTime>(_self).UsecOfDay() / DateTime::kUsecPerSec % 60);
    });
}

fmx::int32 FM_DateTime_GetUSec(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(0), [&] {
        return static_cast<fmx::int32>(Self<fmx::DateTime>(_self).UsecOfDay() % DateTime::kUsecPerSec);
    });
}

// The whole count in seconds: a time value's duration, a timestamp's seconds since 0001-01-01.
void FM_DateTime_GetSeconds(const void *_self, fmx::FixPt &results, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Obj(results), Self<fmx::DateTime>(_self).Seconds()); });
}

void FM_DateTime_GetSecsSinceMidnight(const void *_self, fmx::FixPt &results, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Obj(results), Number::FromParts(Self<fmx::DateTime>(_self).UsecOfDay(), -6)); });
}

void FM_DateTime_GetSecondsSinceEpoch(const void *_self, fmx::FixPt &results, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { StoreNumber(Obj(results), Self<fmx::DateTime>(_self).Seconds()); });
}

} // extern "C"
