// Financial functions: future and present values of regular payments, the payment that repays a loan, and the
// net present value of unequal payments. Computed in binary floating point, as FileMaker's are.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <cmath>
#include <vector>

namespace emu::calc
{
namespace
{
short answer(Evaluator &evaluator, const Node &call, Value &result, double value)
{
    if (!std::isfinite(value))
        return evaluator.fail(kCannotEvaluateNumber, call, "the result cannot be computed for these numbers");
    setNumber(result, Number::FromDouble(value));
    return kCalcOK;
}

short threeNumbers(Evaluator &evaluator, const Node &call, double &a, double &rate, double &periods)
{
    Number first, second, third;
    if (short code = arguments(evaluator, call, 0, first, second, third))
        return code;
    a = first.ToDouble();
    rate = second.ToDouble();
    periods = third.ToDouble();
    return kCalcOK;
}

// The value after `periods` payments: payment × ((1 + rate)^periods − 1) / rate.
short futureValue(Evaluator &evaluator, const Node &call, Value &result)
{
    double payment, rate, periods;
    if (short code = threeNumbers(evaluator, call, payment, rate, periods))
        return code;
    double value = rate == 0 ? payment * periods : payment * (std::pow(1 + rate, periods) - 1) / rate;
    return answer(evaluator, call, result, value);
}

// What `periods` payments are worth today: payment × (1 − (1 + rate)^−periods) / rate.
short presentValue(Evaluator &evaluator, const Node &call, Value &result)
{
    double payment, rate, periods;
    if (short code = threeNumbers(evaluator, call, payment, rate, periods))
        return code;
    double value = rate == 0 ? payment * periods : payment * (1 - std::pow(1 + rate, -periods)) / rate;
    return answer(evaluator, call, result, value);
}

// The payment that repays the principal over the term: principal × rate / (1 − (1 + rate)^−term).
short payment(Evaluator &evaluator, const Node &call, Value &result)
{
    double principal, rate, term;
    if (short code = threeNumbers(evaluator, call, principal, rate, term))
        return code;
    double value = rate == 0 ? principal / term : principal * rate / (1 - std::pow(1 + rate, -term));
    return answer(evaluator, call, result, value);
}

// NPV ( payments ; interestRate ): FileMaker takes the payments from a repeating field; the emulator, which has
// no fields, takes them as a list of values, the first paid at the end of the first period.
short netPresentValue(Evaluator &evaluator, const Node &call, Value &result)
{
    Value payments;
    Number rateNumber;
    if (short code = arguments(evaluator, call, 0, payments, rateNumber))
        return code;
    const std::u16string &chars = payments.AsText().Chars();
    double rate = rateNumber.ToDouble(), total = 0, discount = 1;
    forEachValue(chars, [&](uint32_t start, uint32_t length) {
        discount *= 1 + rate;
        Number amount;
        if (Number::FromText(std::u16string_view(chars).substr(start, length), amount))
            total += amount.ToDouble() / discount;
        return true;
    });
    return answer(evaluator, call, result, total);
}

const BuiltinRegistration registration({
    {"FV", 3, 3, &futureValue},
    {"PV", 3, 3, &presentValue},
    {"PMT", 3, 3, &payment},
    {"NPV", 2, 2, &netPresentValue},
});
} // namespace
} // namespace emu::calc
