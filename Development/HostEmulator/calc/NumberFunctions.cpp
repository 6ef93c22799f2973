// Number functions: rounding, integer division, Min and Max, roots, logarithms and Random. Decimal arithmetic
// stays decimal (Round ( 2.675 ; 2 ) is 2.68); roots and logarithms go through binary floating point.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace emu::calc
{
namespace
{
// Beyond this many digits a shift leaves nothing of a coefficient (at most 37 digits).
constexpr int kShiftBeyondCoefficient = 38;
constexpr int kMaxRoundingDigits = 400;

Number::Coef powerOfTen(int n)
{
    Number::Coef p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

int roundingDigits(const Number &precision)
{
    int64_t n = wholeNumber(precision);
    return static_cast<int>(n < -kMaxRoundingDigits ? -kMaxRoundingDigits : n > kMaxRoundingDigits ? kMaxRoundingDigits : n);
}

// Half away from zero: Round ( -2.5 ; 0 ) is -3. A negative precision rounds to tens, hundreds ...
Number roundNumber(const Number &number, int digits)
{
    int64_t shift = -static_cast<int64_t>(number.Exponent()) - digits;
    if (shift >= kShiftBeyondCoefficient)
        return Number::FromInt(0);
    return number.RoundTo(digits);
}

// Toward zero: Truncate ( -2.7 ; 0 ) is -2.
Number truncateNumber(const Number &number, int digits)
{
    int64_t shift = -static_cast<int64_t>(number.Exponent()) - digits;
    if (shift <= 0)
        return number;
    if (shift >= kShiftBeyondCoefficient)
        return Number::FromInt(0);
    return Number::FromParts(number.Coefficient() / powerOfTen(static_cast<int>(shift)), -digits, number.Precision());
}

Number negated(Number number)
{
    number.Negate();
    return number;
}

template <Number (*F)(const Number &)>
short unary(Evaluator &evaluator, const Node &call, Value &result)
{
    Number number;
    if (short code = numberArgument(evaluator, call, 0, number))
        return code;
    setNumber(result, F(number));
    return kCalcOK;
}

Number absolute(const Number &n) { return n.IsNegative() ? negated(n) : n; }

// The magnitude keeps a time a time (a negative duration becomes a positive one); anything else is a number.
short absoluteValue(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    setTyped(result, absolute(numberOf(value)), value.Type() == kDTTime ? kDTTime : kDTNumber);
    return kCalcOK;
}
Number integerPart(const Number &n) { return truncateNumber(n, 0); }
Number floorOf(const Number &n) { return n.Floor(); }
Number ceilingOf(const Number &n) { return negated(negated(n).Floor()); }
Number signOf(const Number &n) { return Number::FromInt(n.IsZero() ? 0 : n.IsNegative() ? -1 : 1); }

template <Number (*F)(const Number &, int)>
short withPrecision(Evaluator &evaluator, const Node &call, Value &result)
{
    Number number, precision;
    if (short code = arguments(evaluator, call, 0, number, precision))
        return code;
    setNumber(result, F(number, roundingDigits(precision)));
    return kCalcOK;
}

// Mod and Div follow the floor of the quotient: Mod ( -7 ; 3 ) is 2 and Div ( -7 ; 3 ) is -3, so that
// Div ( a ; b ) * b + Mod ( a ; b ) is a. A divisor of 0 cannot be evaluated (error 1218).
template <bool Remainder>
short division(Evaluator &evaluator, const Node &call, Value &result)
{
    Number number, divisor, quotient;
    if (short code = arguments(evaluator, call, 0, number, divisor))
        return code;
    if (!Number::Divide(number, divisor, quotient))
        return evaluator.fail(kCannotEvaluateNumber, call, "division by zero");
    Number whole = quotient.Floor();
    setNumber(result, Remainder ? Number::Subtract(number, Number::Multiply(divisor, whole)) : whole);
    return kCalcOK;
}

// Min and Max answer the chosen argument itself, so a date stays a date. Empty arguments are left out, as
// FileMaker leaves out empty fields. Arguments that are all text compare as text (case ignored); arguments of
// mixed types compare as numbers.
template <int Sign>
short extreme(Evaluator &evaluator, const Node &call, Value &result)
{
    std::vector<Value> values;
    bool allText = true;
    for (std::size_t i = 0; i < call.args.size(); ++i)
    {
        Value value;
        if (short code = argument(evaluator, call, i, value))
            return code;
        if (value.AsText().Chars().empty())
            continue;
        allText = allText && value.Type() == kDTText;
        values.push_back(std::move(value));
    }
    if (values.empty())
    {
        result.Clear(kDTNumber);
        return kCalcOK;
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < values.size(); ++i)
    {
        int order = allText ? compareAsText(values[i], values[best])
                            : Number::Compare(numberOf(values[i]), numberOf(values[best]));
        if (order * Sign > 0)
            best = i;
    }
    result = std::move(values[best]);
    return kCalcOK;
}

bool nonNegative(double x) { return x >= 0; }
bool positive(double x) { return x > 0; }
bool anything(double) { return true; }
double squareRoot(double x) { return std::sqrt(x); }
double exponential(double x) { return std::exp(x); }
double naturalLog(double x) { return std::log(x); }
double decimalLog(double x) { return std::log10(x); }
double binaryLog(double x) { return std::log2(x); }

// Beyond this many factors a product leaves the numbers the host can hold, so the loop stays short.
constexpr int64_t kMaxFactors = 500;

// A count argument: a whole number of 0 or more, else the function cannot be evaluated (error 1218).
short countArgument(Evaluator &evaluator, const Node &call, std::size_t index, int64_t &count)
{
    Number number;
    if (short code = numberArgument(evaluator, call, index, number))
        return code;
    count = wholeNumber(number);
    if (count < 0)
        return evaluator.fail(kCannotEvaluateNumber, call, "the number must not be negative");
    return kCalcOK;
}

// Factorial ( number { ; numberOfFactors } ): number × (number - 1) × ... down to 1, or only the first
// numberOfFactors of those factors.
short factorial(Evaluator &evaluator, const Node &call, Value &result)
{
    int64_t n = 0, factors = 0;
    if (short code = countArgument(evaluator, call, 0, n))
        return code;
    factors = n;
    if (call.args.size() > 1)
        if (short code = countArgument(evaluator, call, 1, factors))
            return code;
    factors = std::min(factors, n);
    if (factors > kMaxFactors)
        return evaluator.fail(kCannotEvaluateNumber, call, "the factorial is too large");
    Number product = Number::FromInt(1);
    for (int64_t i = 0; i < factors; ++i)
        product = Number::Multiply(product, Number::FromInt(n - i));
    setNumber(result, product);
    return kCalcOK;
}

// Combination ( setSize ; numberOfChoices ): the ways to choose that many items of the set, order aside; 0 when
// there are more choices than items. Each step's quotient is whole, so the decimal arithmetic stays exact.
short combination(Evaluator &evaluator, const Node &call, Value &result)
{
    int64_t n = 0, k = 0;
    if (short code = countArgument(evaluator, call, 0, n))
        return code;
    if (short code = countArgument(evaluator, call, 1, k))
        return code;
    if (k > n)
    {
        setNumber(result, Number::FromInt(0));
        return kCalcOK;
    }
    k = std::min(k, n - k);
    if (k > kMaxFactors)
        return evaluator.fail(kCannotEvaluateNumber, call, "the combination is too large");
    Number ways = Number::FromInt(1);
    for (int64_t i = 1; i <= k; ++i)
        Number::Divide(Number::Multiply(ways, Number::FromInt(n - k + i)), Number::FromInt(i), ways);
    setNumber(result, ways);
    return kCalcOK;
}

// SetPrecision ( expression ; precision ): the expression with quotients and the numbers it writes carried to
// that many decimal places (16 to 400; the host keeps at most 37 significant digits).
short setPrecisionFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Number precision;
    if (short code = numberArgument(evaluator, call, 1, precision))
        return code;
    int digits = static_cast<int>(std::clamp<int64_t>(wholeNumber(precision), Number::kDefaultPrecision, 400));
    return withSetting(evaluator, call, result, evaluator.settings().precision, digits);
}

// A number from 0 up to, not including, 1; each thread draws from its own generator.
short randomNumber(Evaluator &, const Node &, Value &result)
{
    // On the heap: the library uses initial-exec thread-local storage, which a program that dlopens it (as a
    // plug-in brings it in on a server) must find room for in the loader's small static reserve, and the
    // generator's 2.5 KB would not fit there.
    thread_local std::unique_ptr<std::mt19937_64> generator;
    if (!generator)
        generator = std::make_unique<std::mt19937_64>(std::random_device{}());
    setNumber(result, Number::FromDouble(std::uniform_real_distribution<double>(0.0, 1.0)(*generator)));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Abs", 1, 1, &absoluteValue},
    {"Int", 1, 1, &unary<&integerPart>},
    {"Floor", 1, 1, &unary<&floorOf>},
    {"Ceiling", 1, 1, &unary<&ceilingOf>},
    {"Sign", 1, 1, &unary<&signOf>},
    {"Round", 2, 2, &withPrecision<&roundNumber>},
    {"Truncate", 2, 2, &withPrecision<&truncateNumber>},
    {"Mod", 2, 2, &division<true>},
    {"Div", 2, 2, &division<false>},
    {"Min", 1, -1, &extreme<-1>},
    {"Max", 1, -1, &extreme<1>},
    {"Sqrt", 1, 1, &realFunction<&squareRoot, &nonNegative>},
    {"Exp", 1, 1, &realFunction<&exponential, &anything>},
    {"Ln", 1, 1, &realFunction<&naturalLog, &positive>},
    {"Log", 1, 1, &realFunction<&decimalLog, &positive, true>},
    {"Lg", 1, 1, &realFunction<&binaryLog, &positive, true>},
    {"Factorial", 1, 2, &factorial},
    {"Combination", 2, 2, &combination},
    {"SetPrecision", 2, 2, &setPrecisionFunction},
    {"Random", 0, 0, &randomNumber},
});
} // namespace
} // namespace emu::calc
