// Host numbers: decimal floating point with a 128-bit coefficient (up to 37 significant digits, exact for
// sums and products of ordinary numbers) and a precision that bounds the fractional digits of quotients and of
// numbers read from doubles. Magnitudes are kept within 10^-437..10^437 (beyond: 0, or saturated).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace emu {

class Number
{
public:
    using Coef = __int128;
    static constexpr int kDefaultPrecision = 16;
    static constexpr int kMaxDigits = 37;

    Number() = default;
    static Number FromInt(int64_t value, int precision = kDefaultPrecision);
    // Takes the shortest decimal form that reads back as the same double, rounded to the precision.
    // Infinity and NaN give 0.
    static Number FromDouble(double value, int precision = kDefaultPrecision);
    static Number FromParts(Coef coef, int32_t exp, int precision = kDefaultPrecision);

    // A complete numeric literal: optional sign, digits with at most one '.', optional exponent (e/E).
    static bool ParseLiteral(std::u16string_view text, Number &out);
    // FileMaker's reading of a text as a number: the digits in order, the first '.' as the decimal point,
    // negative when a '-' or an unclosed '(' comes before the first digit and no '.' before them; other characters
    // are skipped. False when there is no digit.
    static bool FromText(std::u16string_view text, Number &out);

    // FileMaker's text form: plain decimal notation, no exponent, no trailing zeros, "0.5" with a leading zero.
    std::u16string ToText() const;
    std::string ToString() const;

    double ToDouble() const;
    int64_t ToInt64() const;   // truncates toward zero, saturates
    int32_t ToInt32() const;   // truncates toward zero, saturates
    bool IsZero() const { return coef_ == 0; }
    bool IsNegative() const { return coef_ < 0; }
    bool IsInteger() const;

    int Precision() const { return precision_; }
    void SetPrecision(int precision);  // clamped to 0..400; bounds the fractional digits of later quotients

    static Number Add(const Number &a, const Number &b);
    static Number Subtract(const Number &a, const Number &b);
    static Number Multiply(const Number &a, const Number &b);
    static bool Divide(const Number &a, const Number &b, Number &out);  // false when b is zero
    static int Compare(const Number &a, const Number &b);
    void Negate() { coef_ = -coef_; }

    Number Floor() const;                // largest integer not above the value
    Number RoundTo(int fractionDigits) const;  // half away from zero

    bool operator==(const Number &o) const { return Compare(*this, o) == 0; }
    bool operator!=(const Number &o) const { return Compare(*this, o) != 0; }
    bool operator<(const Number &o) const { return Compare(*this, o) < 0; }

    Coef Coefficient() const { return coef_; }
    int32_t Exponent() const { return exp_; }

private:
    void Normalize();

    Coef coef_ = 0;     // value = coef_ * 10^exp_, no trailing zeros in coef_
    int32_t exp_ = 0;
    int precision_ = kDefaultPrecision;
};

// The number a finite double stands for: its shortest decimal form that reads back as the same double, as
// Number::FromDouble gives it but without a formatting and parsing round trip (which dominates large SQL results).
Number NumberFromReal(double real);

} // namespace emu
