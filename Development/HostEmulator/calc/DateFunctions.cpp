// Dates and times: Date, Time and Timestamp build them; Day, Month, Hour ... take them apart. Names of months
// and days are English, whatever the system's language.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <cstdint>
#include <limits>

namespace emu::calc
{
namespace
{
short numbersOf(Evaluator &evaluator, const Node &call, Number *numbers)
{
    for (std::size_t i = 0; i < call.args.size(); ++i)
    {
        Value value;
        if (short code = evaluator.evaluate(*call.args[i], value))
            return code;
        numbers[i] = numberOf(value);
    }
    return kCalcOK;
}

// Date ( month ; day ; year ): months and days outside their range carry over, as in FileMaker.
short dateFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Number parts[3];
    if (short code = numbersOf(evaluator, call, parts))
        return code;
    DateTime date;
    if (!date.SetDate(parts[2].Floor().ToInt64(), parts[0].Floor().ToInt64(), parts[1].Floor().ToInt64()))
        return evaluator.fail(kCannotEvaluateNumber, call, "the date lies outside the years 1 to 9999");
    result.SetDateTime(date, kDTDate, kDTDate);
    return kCalcOK;
}

// Time ( hours ; minutes ; seconds ): a duration, so it may exceed 24 hours or carry a fraction of a second.
short timeFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Number parts[3];
    if (short code = numbersOf(evaluator, call, parts))
        return code;
    Number seconds = Number::Add(Number::Multiply(parts[0], Number::FromInt(3600)),
                                 Number::Add(Number::Multiply(parts[1], Number::FromInt(60)), parts[2]));
    DateTime time;
    time.SetSeconds(seconds);
    result.SetDateTime(time, kDTTime, kDTTime);
    return kCalcOK;
}

// Timestamp ( date ; time ): the time is added to the start of the day, so 25 hours reach into the next day.
short timestampFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Value date, time;
    if (short code = evaluator.evaluate(*call.args[0], date))
        return code;
    if (short code = evaluator.evaluate(*call.args[1], time))
        return code;
    DateTime day = date.AsDate();
    day.SetUsecOfDay(0);
    const int64_t duration = time.AsTime().Usec();
    // Far-off dates and times saturate, as Time does, instead of overflowing.
    int64_t usec = 0;
    if (__builtin_add_overflow(day.Usec(), duration, &usec))
        usec = duration < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    DateTime stamp(usec);
    result.SetDateTime(stamp, kDTTimeStamp, kDTTimeStamp);
    return kCalcOK;
}

// Reads argument 0 as a date: a date, the date of a timestamp, a day number, or a text in the host's forms.
// `empty` is set for an empty argument; a text that is no date is error 500.
short dateArgument(Evaluator &evaluator, const Node &call, DateTime &date, bool &empty)
{
    Value value;
    if (short code = possiblyEmptyArgument(evaluator, call, value, empty))
        return code;
    if (empty)
        return kCalcOK;
    if (value.Type() == kDTText)
    {
        const std::u16string &chars = value.AsText().Chars();
        if (!DateTime::ParseDate(chars, date) && !DateTime::ParseTimestamp(chars, date))
            return evaluator.fail(kErrBadDate, call, "the text is not a date");
        return kCalcOK;
    }
    date = value.AsDate();
    return kCalcOK;
}

// Reads argument 0 as a time: a time (a duration), the time of day of a timestamp, seconds, or a text.
short timeArgument(Evaluator &evaluator, const Node &call, Number &seconds, bool &empty)
{
    Value value;
    if (short code = possiblyEmptyArgument(evaluator, call, value, empty))
        return code;
    if (empty)
        return kCalcOK;
    DateTime time;
    if (value.Type() == kDTText)
    {
        const std::u16string &chars = value.AsText().Chars();
        if (DateTime::ParseTimestamp(chars, time))
            time.SetUsec(time.UsecOfDay());
        else if (!DateTime::ParseTime(chars, time))
            return evaluator.fail(kErrBadTime, call, "the text is not a time");
    }
    else
        time = value.AsTime();
    seconds = time.Seconds();
    return kCalcOK;
}

// Day 1 (1 January 1) was a Monday; days before it count on backwards.
int64_t dayOfWeek(const DateTime &date) { return (date.DayNumber() % 7 + 7) % 7 + 1; }

int64_t dayOfYear(const DateTime &date)
{
    int64_t year;
    int month, day;
    date.YearMonthDay(year, month, day);
    return DateTime::DaysFromCivil(year, month, day) - DateTime::DaysFromCivil(year, 1, 1) + 1;
}

// Weeks start on Sunday and week 1 is the one that holds 1 January.
int64_t weekOfYear(const DateTime &date)
{
    int64_t year;
    int month, day;
    date.YearMonthDay(year, month, day);
    DateTime first;
    first.SetDayNumber(DateTime::DaysFromCivil(year, 1, 1) + 1);
    return (dayOfYear(date) + dayOfWeek(first) - 2) / 7 + 1;
}

int64_t yearOf(const DateTime &date)
{
    int64_t year;
    int month, day;
    date.YearMonthDay(year, month, day);
    return year;
}

int64_t monthOf(const DateTime &date)
{
    int64_t year;
    int month, day;
    date.YearMonthDay(year, month, day);
    return month;
}

int64_t dayOf(const DateTime &date)
{
    int64_t year;
    int month, day;
    date.YearMonthDay(year, month, day);
    return day;
}

template <int64_t (*Part)(const DateTime &)>
short datePart(Evaluator &evaluator, const Node &call, Value &result)
{
    DateTime date;
    bool empty = false;
    if (short code = dateArgument(evaluator, call, date, empty))
        return code;
    if (empty)
        result.Clear(kDTNumber);
    else
        setNumber(result, Number::FromInt(Part(date)));
    return kCalcOK;
}

constexpr const char16_t *kMonthNames[] = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                                           u"July",    u"August",   u"September", u"October", u"November", u"December"};
constexpr const char16_t *kDayNames[] = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};

const char16_t *monthName(const DateTime &date) { return kMonthNames[monthOf(date) - 1]; }
const char16_t *dayName(const DateTime &date) { return kDayNames[dayOfWeek(date) - 1]; }

template <const char16_t *(*Name)(const DateTime &)>
short dateName(Evaluator &evaluator, const Node &call, Value &result)
{
    DateTime date;
    bool empty = false;
    if (short code = dateArgument(evaluator, call, date, empty))
        return code;
    result.SetText(empty ? u"" : Name(date));
    return kCalcOK;
}

// Hour and Minute of a time count the whole duration (Hour of 25:10:00 is 25); Seconds keeps fractions.
template <int Part>
short timePart(Evaluator &evaluator, const Node &call, Value &result)
{
    Number seconds;
    bool empty = false;
    if (short code = timeArgument(evaluator, call, seconds, empty))
        return code;
    if (empty)
    {
        result.Clear(kDTNumber);
        return kCalcOK;
    }
    Number whole = Number::FromInt(seconds.ToInt64());
    Number fraction = Number::Subtract(seconds, whole);
    int64_t total = whole.ToInt64();
    if (Part == 0)
        setNumber(result, Number::FromInt(total / 3600));
    else if (Part == 1)
        setNumber(result, Number::FromInt(total / 60 % 60));
    else
        setNumber(result, Number::Add(Number::FromInt(total % 60), fraction));
    return kCalcOK;
}

// A date (argument 0, as dateArgument reads it) and a number (argument 1).
short dateAndNumberArguments(Evaluator &evaluator, const Node &call, DateTime &date, bool &empty, Number &number)
{
    if (short code = dateArgument(evaluator, call, date, empty))
        return code;
    return numberArgument(evaluator, call, 1, number);
}

// WeekOfYearFiscal ( date ; startingDay ): weeks begin on startingDay (1 Sunday ... 7 Saturday; other numbers
// count on round the week), and a week belongs to the year that holds four or more of its days, so the first days
// of January may lie in week 53 of the year before.
short weekOfYearFiscal(Evaluator &evaluator, const Node &call, Value &result)
{
    DateTime date;
    bool empty = false;
    Number startingDay;
    if (short code = dateAndNumberArguments(evaluator, call, date, empty, startingDay))
        return code;
    if (empty)
    {
        result.Clear(kDTNumber);
        return kCalcOK;
    }
    int64_t first = ((wholeNumber(startingDay) - 1) % 7 + 7) % 7 + 1;
    int64_t intoWeek = (dayOfWeek(date) - first + 7) % 7;
    // The fourth day of the week decides its year.
    DateTime fourth;
    fourth.SetDayNumber(date.DayNumber() - intoWeek + 3);
    setNumber(result, Number::FromInt((dayOfYear(fourth) - 1) / 7 + 1));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Date", 3, 3, &dateFunction},
    {"Time", 3, 3, &timeFunction},
    {"Timestamp", 2, 2, &timestampFunction},
    {"Day", 1, 1, &datePart<&dayOf>},
    {"Month", 1, 1, &datePart<&monthOf>},
    {"Year", 1, 1, &datePart<&yearOf>},
    {"DayOfWeek", 1, 1, &datePart<&dayOfWeek>},
    {"DayOfYear", 1, 1, &datePart<&dayOfYear>},
    {"WeekOfYear", 1, 1, &datePart<&weekOfYear>},
    {"WeekOfYearFiscal", 2, 2, &weekOfYearFiscal},
    {"MonthName", 1, 1, &dateName<&monthName>},
    {"DayName", 1, 1, &dateName<&dayName>},
    {"Hour", 1, 1, &timePart<0>},
    {"Minute", 1, 1, &timePart<1>},
    {"Seconds", 1, 1, &timePart<2>},
});
} // namespace
} // namespace emu::calc

// The Japanese names of dates: DayNameJ, MonthNameJ and YearName, the year in the era of the emperor's reign.
namespace emu::calc
{
namespace
{
constexpr const char16_t *kDayNamesJ[] = {u"日曜日", u"月曜日", u"火曜日", u"水曜日", u"木曜日", u"金曜日", u"土曜日"};
constexpr const char16_t *kMonthNamesJ[] = {u"1月", u"2月", u"3月", u"4月",  u"5月",  u"6月",
                                            u"7月", u"8月", u"9月", u"10月", u"11月", u"12月"};

const char16_t *dayNameJ(const DateTime &date) { return kDayNamesJ[dayOfWeek(date) - 1]; }
const char16_t *monthNameJ(const DateTime &date) { return kMonthNamesJ[monthOf(date) - 1]; }

struct cEra
{
    int64_t year;
    int month, day;  // the first day of the era
    const char16_t *name, *abbreviation, *letter;
};

// Meiji to Reiwa, with the first days FileMaker counts them from; the latest first.
const cEra kEras[] = {
    {2019, 5, 1, u"令和", u"令", u"R"},  {1989, 1, 8, u"平成", u"平", u"H"}, {1926, 12, 25, u"昭和", u"昭", u"S"},
    {1912, 7, 30, u"大正", u"大", u"T"}, {1868, 9, 8, u"明治", u"明", u"M"},
};

// YearName ( date ; format ): format 0 the era's name and the year in it ("平成20"), 1 its abbreviation in
// parentheses ("(平)20", the first year written 元), 2 its letter ("H20"); another format reads as 0. Dates before
// Meiji are years of the common era: "西暦1867", "(西)1867", "1867 CE".
short yearName(Evaluator &evaluator, const Node &call, Value &result)
{
    DateTime date;
    bool empty = false;
    Number format;
    if (short code = dateAndNumberArguments(evaluator, call, date, empty, format))
        return code;
    if (empty)
    {
        result.SetText(u"");
        return kCalcOK;
    }
    const int64_t chosen = wholeNumber(format);
    const int style = chosen >= 0 && chosen <= 2 ? static_cast<int>(chosen) : 0;
    const int64_t year = yearOf(date);
    const int64_t day = date.DayNumber();
    std::u16string out;
    for (const cEra &era : kEras)
    {
        if (day < DateTime::DaysFromCivil(era.year, era.month, era.day) + 1)
            continue;
        const int64_t inEra = year - era.year + 1;
        const std::u16string digits = decimalText(inEra);
        if (style == 0)
            out = era.name + digits;
        else if (style == 1)
            out = u"(" + std::u16string(era.abbreviation) + u")" + (inEra == 1 ? std::u16string(u"元") : digits);
        else
            out = era.letter + digits;
        result.SetText(out);
        return kCalcOK;
    }
    const std::u16string digits = decimalText(year);
    out = style == 0 ? u"西暦" + digits : style == 1 ? u"(西)" + digits : digits + u" CE";
    result.SetText(out);
    return kCalcOK;
}

const BuiltinRegistration japaneseRegistration({
    {"DayNameJ", 1, 1, &dateName<&dayNameJ>},
    {"MonthNameJ", 1, 1, &dateName<&monthNameJ>},
    {"YearName", 2, 2, &yearName},
});
} // namespace
} // namespace emu::calc
