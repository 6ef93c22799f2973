// Date, Time and Timestamp.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"

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

const BuiltinRegistration registration({
    {"Date", 3, 3, &dateFunction},
    {"Time", 3, 3, &timeFunction},
    {"Timestamp", 2, 2, &timestampFunction},
});
} // namespace
} // namespace emu::calc
