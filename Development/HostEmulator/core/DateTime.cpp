#include "core/DateTime.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <string>

namespace emu {
namespace {

constexpr int64_t kUsecPerHour = 3600LL * DateTime::kUsecPerSec;
constexpr int64_t kUsecPerMinute = 60LL * DateTime::kUsecPerSec;
// Days from 0001-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochDays = 719162;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int DaysInMonth(int64_t y, int m)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && DateTime::IsLeap(y) ? 29 : kDays[m - 1];
}

std::u16string Widen(const std::string &s) { return std::u16string(s.begin(), s.end()); }

// ".5", ".000001" or "" for the microseconds of a second.
std::string Fraction(int64_t usec)
{
    if (usec == 0)
        return std::string();
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06lld", static_cast<long long>(usec));
    std::string f(buf);
    while (!f.empty() && f.back() == '0')
        f.pop_back();
    return "." + f;
}

// A small reader over the characters of a date or time text.
struct Cursor
{
    std::u16string_view s;
    size_t i = 0;

    void SkipSpaces()
    {
        while (i < s.size() && (s[i] == u' ' || s[i] == u'\t'))
            ++i;
    }
    bool At(char16_t c) const { return i < s.size() && s[i] == c; }
    bool Take(char16_t c)
    {
        if (!At(c))
            return false;
        ++i;
        return true;
    }
    // 1..maxDigits decimal digits.
    bool Number(int64_t &value, int maxDigits, int *count = nullptr)
    {
        int n = 0;
        value = 0;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && n < maxDigits)
        {
            value = value * 10 + (s[i++] - u'0');
            ++n;
        }
        if (count)
            *count = n;
        return n > 0;
    }
    bool Done() const { return i == s.size(); }
};

bool ReadDate(Cursor &c, int64_t &days)
{
    int64_t a, b, y;
    int aDigits = 0;
    if (!c.Number(a, 4, &aDigits))
        return false;
    int64_t month, day;
    if (aDigits == 4 && c.Take(u'-'))
    {
        y = a;
        if (!c.Number(month, 2) || !c.Take(u'-') || !c.Number(day, 2))
            return false;
    }
    else
    {
        if (!c.Take(u'/') || !c.Number(b, 2) || !c.Take(u'/') || !c.Number(y, 4))
            return false;
        month = a;
        day = b;
    }
    if (y < 1 || y > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(y, static_cast<int>(month)))
        return false;
    days = DateTime::DaysFromCivil(y, static_cast<int>(month), static_cast<int>(day));
    return true;
}

// A time alone may give only its hour ("12", "3 PM"), as a time field takes it; after a date the minutes are needed.
bool ReadTime(Cursor &c, int64_t &usec, bool alone)
{
    bool negative = alone && c.Take(u'-');
    int64_t h, m = 0, s = 0, frac = 0;
    if (!c.Number(h, 9))
        return false;
    const bool minutes = c.Take(u':');
    if (minutes ? !c.Number(m, 2) || m > 59 : !alone)
        return false;
    if (minutes && c.Take(u':'))
    {
        if (!c.Number(s, 2) || s > 59)
            return false;
        if (c.Take(u'.'))
        {
            int digits = 0;
            if (!c.Number(frac, 6, &digits))
                return false;
            for (int k = digits; k < 6; ++k)
                frac *= 10;
            int64_t ignored;
            c.Number(ignored, 64);  // digits beyond microseconds
        }
    }
    const size_t mark = c.i;
    c.SkipSpaces();
    if (c.i + 2 <= c.s.size())
    {
        const char16_t a = c.s[c.i] | 0x20, b = c.s[c.i + 1] | 0x20;
        if ((a == u'a' || a == u'p') && b == u'm')
        {
            if (h < 1 || h > 12 || negative)
                return false;
            h = h % 12 + (a == u'p' ? 12 : 0);
            c.i += 2;
        }
        else
            c.i = mark;
    }
    else
        c.i = mark;
    usec = h * kUsecPerHour + m * kUsecPerMinute + s * DateTime::kUsecPerSec + frac;
    if (negative)
        usec = -usec;
    return true;
}

} // namespace

bool DateTime::IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int64_t DateTime::DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kUnixEpochDays;
}

void DateTime::CivilFromDays(int64_t days, int64_t &y, int &m, int &d)
{
    const int64_t z = days - kUnixEpochDays + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

int64_t DateTime::DayNumber() const { return FloorDiv(usec_, kUsecPerDay) + 1; }

void DateTime::SetDayNumber(int64_t day)
{
    // Far beyond the calendar the count would overflow; such days stay far beyond it.
    constexpr int64_t kLimit = 100000000;
    day = day < -kLimit ? -kLimit : day > kLimit ? kLimit : day;
    usec_ = (day - 1) * kUsecPerDay + UsecOfDay();
}

int64_t DateTime::UsecOfDay() const
{
    const int64_t rest = usec_ % kUsecPerDay;
    return rest < 0 ? rest + kUsecPerDay : rest;
}

void DateTime::SetUsecOfDay(int64_t usec)
{
    // Near the ends of the count the start of the day, or the new time in it, lies beyond what it can hold:
    // saturate there instead of overflowing.
    int64_t start = 0;
    if (__builtin_sub_overflow(usec_, UsecOfDay(), &start))
        start = std::numeric_limits<int64_t>::min();
    if (__builtin_add_overflow(start, usec, &usec_))
        usec_ = usec < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

void DateTime::YearMonthDay(int64_t &year, int &month, int &day) const
{
    CivilFromDays(FloorDiv(usec_, kUsecPerDay), year, month, day);
}

bool DateTime::SetDate(int64_t year, int64_t month, int64_t day)
{
    if (year < -100000 || year > 100000 || month < -1200000 || month > 1200000 || day < -40000000 || day > 40000000)
        return false;
    year += FloorDiv(month - 1, 12);
    month = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;
    const int64_t days = DaysFromCivil(year, static_cast<int>(month), 1) + day - 1;
    int64_t y;
    int m, d;
    CivilFromDays(days, y, m, d);
    if (y < 1 || y > 9999)
        return false;
    usec_ = days * kUsecPerDay + UsecOfDay();
    return true;
}

Number DateTime::Seconds() const { return Number::FromParts(usec_, -6); }

void DateTime::SetSeconds(const Number &seconds)
{
    usec_ = Number::Multiply(seconds, Number::FromInt(kUsecPerSec)).RoundTo(0).ToInt64();
}

DateTime DateTime::Now()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return DateTime((int64_t(ts.tv_sec) + local.tm_gmtoff + kUnixEpochSeconds) * kUsecPerSec + ts.tv_nsec / 1000);
}

std::u16string DateTime::DateText() const
{
    int64_t y;
    int m, d;
    YearMonthDay(y, m, d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%d/%d/%04lld", m, d, static_cast<long long>(y));
    return Widen(buf);
}

std::u16string DateTime::TimeText() const
{
    const uint64_t a = usec_ < 0 ? 0 - static_cast<uint64_t>(usec_) : static_cast<uint64_t>(usec_);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%llu:%02llu:%02llu", usec_ < 0 ? "-" : "",
                  static_cast<unsigned long long>(a / kUsecPerHour),
                  static_cast<unsigned long long>(a / kUsecPerMinute % 60),
                  static_cast<unsigned long long>(a / kUsecPerSec % 60));
    return Widen(buf + Fraction(static_cast<int64_t>(a % kUsecPerSec)));
}

std::u16string DateTime::TimestampText() const
{
    const int64_t t = UsecOfDay();
    const int64_t hour = t / kUsecPerHour;
    char buf[40];
    std::snprintf(buf, sizeof buf, " %lld:%02lld:%02lld", static_cast<long long>(hour % 12 == 0 ? 12 : hour % 12),
                  static_cast<long long>(t / kUsecPerMinute % 60), static_cast<long long>(t / kUsecPerSec % 60));
    return DateText() + Widen(buf + Fraction(t % kUsecPerSec) + (hour < 12 ? " AM" : " PM"));
}

bool DateTime::ParseDate(std::u16string_view text, DateTime &out)
{
    Cursor c{text};
    c.SkipSpaces();
    int64_t days;
    if (!ReadDate(c, days))
        return false;
    c.SkipSpaces();
    if (!c.Done())
        return false;
    out.usec_ = days * kUsecPerDay;
    return true;
}

bool DateTime::ParseTime(std::u16string_view text, DateTime &out)
{
    Cursor c{text};
    c.SkipSpaces();
    int64_t usec;
    if (!ReadTime(c, usec, true))
        return false;
    c.SkipSpaces();
    if (!c.Done())
        return false;
    out.usec_ = usec;
    return true;
}

bool DateTime::ParseTimestamp(std::u16string_view text, DateTime &out)
{
    Cursor c{text};
    c.SkipSpaces();
    int64_t days, usec = 0;
    if (!ReadDate(c, days))
        return false;
    c.SkipSpaces();
    if (!c.Done())
    {
        if (!ReadTime(c, usec, false) || usec >= kUsecPerDay)
            return false;
        c.SkipSpaces();
        if (!c.Done())
            return false;
    }
    out.usec_ = days * kUsecPerDay + usec;
    return true;
}

} // namespace emu
