// Trigonometric functions: angles in radians, computed in binary floating point as the other real functions are;
// Pi is the decimal constant, carried to the precision in force.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace emu::calc
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

bool anyAngle(double) { return true; }
bool withinOne(double x) { return x >= -1 && x <= 1; }
// Sine, cosine and tangent to 15 significant digits (15 decimal places at most), what a double holds reliably: Sin ( Pi / 6 ) is then 0.5,
// not the 0.49999999999999994 of the binary result.
double significant(double y)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.15g", y);
    double rounded = std::strtod(digits, nullptr);
    return std::fabs(rounded) < 1e-15 ? 0 : rounded; // Cos ( Pi / 2 ) is 0
}
double sine(double x) { return significant(std::sin(x)); }
double cosine(double x) { return significant(std::cos(x)); }
double tangent(double x) { return significant(std::tan(x)); }
double arcSine(double x) { return std::asin(x); }
double arcCosine(double x) { return std::acos(x); }
double arcTangent(double x) { return std::atan(x); }
double degrees(double x) { return x * 180 / kPi; }
double radians(double x) { return x * kPi / 180; }

short pi(Evaluator &evaluator, const Node &, Value &result)
{
    Number value;
    Number::ParseLiteral(u"3.141592653589793238462643383279502884", value);
    setNumber(result, value.RoundTo(evaluator.precision()));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Pi", 0, 0, &pi},
    {"Sin", 1, 1, &realFunction<&sine, &anyAngle>},
    {"Cos", 1, 1, &realFunction<&cosine, &anyAngle>},
    {"Tan", 1, 1, &realFunction<&tangent, &anyAngle>},
    {"Asin", 1, 1, &realFunction<&arcSine, &withinOne>},
    {"Acos", 1, 1, &realFunction<&arcCosine, &withinOne>},
    {"Atan", 1, 1, &realFunction<&arcTangent, &anyAngle>},
    {"Degrees", 1, 1, &realFunction<&degrees, &anyAngle>},
    {"Radians", 1, 1, &realFunction<&radians, &anyAngle>},
});
} // namespace
} // namespace emu::calc
