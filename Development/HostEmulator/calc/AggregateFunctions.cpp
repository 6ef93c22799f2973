// Aggregate functions over their arguments: Sum, Average, Count and the spreads. Empty arguments are left out,
// as FileMaker leaves out empty fields; sums and means stay decimal, roots go through binary floating point.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <cmath>
#include <vector>

namespace emu::calc
{
namespace
{
// The numbers of the arguments that are not empty, in order.
short numbersOf(Evaluator &evaluator, const Node &call, std::vector<Number> &numbers)
{
    for (std::size_t i = 0; i < call.args.size(); ++i)
    {
        Value value;
        if (short code = argument(evaluator, call, i, value))
            return code;
        if (!value.AsText().Chars().empty())
            numbers.push_back(numberOf(value));
    }
    return kCalcOK;
}

Number sumOf(const std::vector<Number> &numbers)
{
    Number total = Number::FromInt(0);
    for (const Number &n : numbers)
        total = Number::Add(total, n);
    return total;
}

short sum(Evaluator &evaluator, const Node &call, Value &result)
{
    std::vector<Number> numbers;
    if (short code = numbersOf(evaluator, call, numbers))
        return code;
    setNumber(result, sumOf(numbers));
    return kCalcOK;
}

short count(Evaluator &evaluator, const Node &call, Value &result)
{
    std::vector<Number> numbers;
    if (short code = numbersOf(evaluator, call, numbers))
        return code;
    setNumber(result, Number::FromInt(static_cast<int64_t>(numbers.size())));
    return kCalcOK;
}

// The mean of the numbers; false when there are none.
bool meanOf(const std::vector<Number> &numbers, Number &mean)
{
    return !numbers.empty() &&
           Number::Divide(sumOf(numbers), Number::FromInt(static_cast<int64_t>(numbers.size())), mean);
}

short average(Evaluator &evaluator, const Node &call, Value &result)
{
    std::vector<Number> numbers;
    if (short code = numbersOf(evaluator, call, numbers))
        return code;
    Number mean;
    if (meanOf(numbers, mean))
        setNumber(result, mean);
    else
        result.Clear(kDTNumber);
    return kCalcOK;
}

// Variance of a sample (Population false: divided by n − 1) or of the whole population (by n); a sample of one
// value has none to spread over, so its variance is 0. With Root, the standard deviation.
template <bool Population, bool Root>
short spread(Evaluator &evaluator, const Node &call, Value &result)
{
    std::vector<Number> numbers;
    if (short code = numbersOf(evaluator, call, numbers))
        return code;
    Number mean;
    if (!meanOf(numbers, mean))
    {
        result.Clear(kDTNumber);
        return kCalcOK;
    }
    Number squares = Number::FromInt(0);
    for (const Number &n : numbers)
    {
        Number d = Number::Subtract(n, mean);
        squares = Number::Add(squares, Number::Multiply(d, d));
    }
    int64_t divisor = static_cast<int64_t>(numbers.size()) - (Population ? 0 : 1);
    Number variance = Number::FromInt(0);
    if (divisor > 0)
        Number::Divide(squares, Number::FromInt(divisor), variance);
    setNumber(result, Root ? Number::FromDouble(std::sqrt(variance.ToDouble())) : variance);
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Sum", 1, -1, &sum},
    {"Count", 1, -1, &count},
    {"Average", 1, -1, &average},
    {"Variance", 1, -1, &spread<false, false>},
    {"VarianceP", 1, -1, &spread<true, false>},
    {"StDev", 1, -1, &spread<false, true>},
    {"StDevP", 1, -1, &spread<true, true>},
});
} // namespace
} // namespace emu::calc
