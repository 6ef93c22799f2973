// Number functions: rounding, integer division, Min and Max, roots, logarithms and Random. Decimal arithmetic
// stays decimal (Round ( 2.675 ; 2 ) is 2.68); roots and logarithms go through binary floating point.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <cmath>
#include <memory>
#include <random>

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

// Min and Max answer the chosen argument itself, so a date stays a date.
template <int Sign>
short extreme(Evaluator &evaluator, const Node &call, Value &result)
{
    Value best;
    for (std::size_t i = 0; i < call.args.size(); ++i)
    {
        Value value;
        if (short code = argument(evaluator, call, i, value))
            return code;
        if (i == 0 || Number::Compare(numberOf(value), numberOf(best)) * Sign > 0)
            best = std::move(value);
    }
    result = std::move(best);
    return kCalcOK;
}

// Functions computed in binary floating point; NaN or an infinite result cannot be evaluated (error 1218).
// With `NothingAtZero`, 0 lies out of range without being an error: the result is empty (Log ( 0 )).
template <double (*F)(double), bool (*Valid)(double), bool NothingAtZero = false>
short real(Evaluator &evaluator, const Node &call, Value &result)
{
    Number number;
    if (short code = numberArgument(evaluator, call, 0, number))
        return code;
    if (NothingAtZero && number.IsZero())
    {
        result.Clear(kDTNumber);
        return kCalcOK;
    }
    double x = number.ToDouble();
    double y = Valid(x) ? F(x) : NAN;
    if (!std::isfinite(y))
        return evaluator.fail(kCannotEvaluateNumber, call, "the result cannot be computed for this number");
    setNumber(result, Number::FromDouble(y));
    return kCalcOK;
}

bool nonNegative(double x) { return x >= 0; }
bool positive(double x) { return x > 0; }
bool anything(double) { return true; }
double squareRoot(double x) { return std::sqrt(x); }
double exponential(double x) { return std::exp(x); }
double naturalLog(double x) { return std::log(x); }
double decimalLog(double x) { return std::log10(x); }

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
    {"Sqrt", 1, 1, &real<&squareRoot, &nonNegative>},
    {"Exp", 1, 1, &real<&exponential, &anything>},
    {"Ln", 1, 1, &real<&naturalLog, &positive>},
    {"Log", 1, 1, &real<&decimalLog, &positive, true>},
    {"Random", 0, 0, &randomNumber},
});
} // namespace
} // namespace emu::calc
