#include "core/Number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace emu {
namespace {

using Coef = Number::Coef;

constexpr int kMaxExp = 400;
constexpr int kMaxPrecision = 400;

// Powers of ten that fit a coefficient, made at compile time: every conversion needs them.
constexpr std::array<Coef, 39> MakePow10()
{
    std::array<Coef, 39> table{};
    table[0] = 1;
    for (size_t i = 1; i < table.size(); ++i)
        table[i] = table[i - 1] * 10;
    return table;
}
constexpr std::array<Coef, 39> kPow10 = MakePow10();

Coef Pow10(int n)
{
    if (n >= 0 && n < static_cast<int>(kPow10.size()))
        return kPow10[static_cast<size_t>(n)];
    Coef r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

Coef Abs(Coef c) { return c < 0 ? -c : c; }

int Digits(Coef c)
{
    c = Abs(c);
    int d = 1;
    while (d < static_cast<int>(kPow10.size()) && c >= kPow10[static_cast<size_t>(d)])
        ++d;
    return d;
}

// c / 10^k, rounded half away from zero.
Coef RoundDiv(Coef c, int k)
{
    if (k <= 0)
        return c;
    if (k > 38)
        return 0;
    const Coef p = Pow10(k);
    Coef q = c / p, r = c % p;
    if (Abs(r) * 2 >= p)
        q += c < 0 ? -1 : 1;
    return q;
}

// The coefficient of c*10^from expressed at exponent `to` (rounded when to > from; the caller ensures it fits).
Coef Rescale(Coef c, int32_t from, int32_t to)
{
    return to <= from ? c * Pow10(from - to) : RoundDiv(c, to - from);
}

// Room for the digits of any coefficient (2^127 has 39).
constexpr std::size_t kCoefDigitsRoom = 40;

// Writes the digits of |c| at the start of `buffer`; answers how many.
std::size_t CoefDigitsInto(Coef c, char (&buffer)[kCoefDigitsRoom])
{
    c = Abs(c);
    if (c <= static_cast<Coef>(std::numeric_limits<uint64_t>::max()))
    {
        // 128-bit division is slow; most coefficients fit 64 bits.
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint64_t>(c)).ptr;
        return static_cast<std::size_t>(end - buffer);
    }
    std::size_t size = 0;
    do
    {
        buffer[size++] = static_cast<char>('0' + static_cast<int>(c % 10));
        c /= 10;
    } while (c != 0);
    std::reverse(buffer, buffer + size);
    return size;
}

std::string CoefDigits(Coef c)
{
    char buffer[kCoefDigitsRoom];
    return std::string(buffer, CoefDigitsInto(c, buffer));
}

// FileMaker's text form of coef * 10^exp, built in one string of either width: large query results format a
// number per field.
template <class String> String DecimalText(Coef coef, int32_t exp)
{
    if (coef == 0)
        return String(1, '0');
    char digits[kCoefDigitsRoom];
    const auto size = static_cast<int64_t>(CoefDigitsInto(coef, digits));
    const int64_t point = size + exp;  // digits before the decimal point
    String out;
    out.reserve(static_cast<size_t>(size + std::max<int64_t>(exp, 0) + std::max<int64_t>(-point, 0) + 3));
    if (coef < 0)
        out += '-';
    if (exp >= 0)
    {
        out.append(digits, digits + size);
        out.append(static_cast<size_t>(exp), '0');
    }
    else if (point <= 0)
    {
        out += '0';
        out += '.';
        out.append(static_cast<size_t>(-point), '0');
        out.append(digits, digits + size);
    }
    else
    {
        out.append(digits, digits + point);
        out += '.';
        out.append(digits + point, digits + size);
    }
    return out;
}

// Accumulates decimal digits into a coefficient, keeping at most kMaxDigits significant ones.
struct DigitSink
{
    Coef coef = 0;
    int32_t exp = 0;
    int significant = 0;
    bool any = false;

    void Add(int digit, bool fraction)
    {
        any = true;
        if (significant >= Number::kMaxDigits)
        {
            if (!fraction)
                ++exp;  // an integer digit beyond the kept ones still scales the value
            return;
        }
        coef = coef * 10 + digit;
        if (coef != 0)
            ++significant;
        if (fraction)
            --exp;
    }
};

} // namespace

Number Number::FromParts(Coef coef, int32_t exp, int precision)
{
    Number n;
    n.coef_ = coef;
    n.exp_ = exp;
    n.precision_ = std::clamp(precision, 0, kMaxPrecision);
    n.Normalize();
    return n;
}

Number Number::FromInt(int64_t value, int precision) { return FromParts(value, 0, precision); }

Number Number::FromDouble(double value, int precision)
{
    if (!std::isfinite(value) || value == 0)
        return FromParts(0, 0, precision);
    char buf[40];
    for (int digits = 15; digits <= 17; ++digits)
    {
        std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
        if (digits == 17 || std::strtod(buf, nullptr) == value)
            break;
    }
    Number n;
    std::u16string text(buf, buf + std::char_traits<char>::length(buf));
    ParseLiteral(text, n);
    n.precision_ = std::clamp(precision, 0, kMaxPrecision);
    return n.RoundTo(n.precision_);
}

bool Number::ParseLiteral(std::u16string_view text, Number &out)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    DigitSink sink;
    bool point = false;
    for (; i < text.size(); ++i)
    {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9')
            sink.Add(c - u'0', point);
        else if (c == u'.' && !point)
            point = true;
        else
            break;
    }
    if (!sink.any)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E'))
    {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            expNegative = text[i++] == u'-';
        if (i == text.size())
            return false;
        int64_t e = 0;
        for (; i < text.size(); ++i)
        {
            if (text[i] < u'0' || text[i] > u'9')
                return false;
            e = std::min<int64_t>(e * 10 + (text[i] - u'0'), 100000);
        }
        sink.exp += static_cast<int32_t>(expNegative ? -e : e);
    }
    if (i != text.size())
        return false;
    out = FromParts(negative ? -sink.coef : sink.coef, sink.exp, out.precision_);
    return true;
}

bool Number::FromText(std::u16string_view text, Number &out)
{
    DigitSink sink;
    bool negative = false, point = false;
    int open = 0; // parentheses still open before the first digit
    for (const char16_t c : text)
    {
        if (c >= u'0' && c <= u'9')
        {
            // A minus sign or an open parenthesis before the first digit makes it negative, unless a period came
            // first: "(22)" is -22, ".(22)" is .22.
            if (!sink.any && open > 0)
                negative = true;
            sink.Add(c - u'0', point);
        }
        else if (c == u'.' && !point)
            point = true;
        else if (sink.any || point)
            continue;
        else if (c == u'-')
            negative = true;
        else if (c == u'(')
            ++open;
        else if (c == u')' && open > 0)
            --open;
    }
    if (!sink.any)
        return false;
    out = FromParts(negative ? -sink.coef : sink.coef, sink.exp, out.precision_);
    return true;
}

void Number::Normalize()
{
    if (Abs(coef_) >= Pow10(kMaxDigits))
    {
        coef_ = RoundDiv(coef_, 1);
        ++exp_;
    }
    if (coef_ == 0)
    {
        exp_ = 0;
        return;
    }
    if (coef_ >= std::numeric_limits<int64_t>::min() && coef_ <= std::numeric_limits<int64_t>::max())
    {
        // The same in 64 bits, where most coefficients fit and division is far cheaper.
        int64_t c = static_cast<int64_t>(coef_);
        while (c % 10 == 0)
        {
            c /= 10;
            ++exp_;
        }
        coef_ = c;
    }
    else
        while (coef_ % 10 == 0)
        {
            coef_ /= 10;
            ++exp_;
        }
    if (exp_ + Digits(coef_) < -(kMaxExp + kMaxDigits))
    {
        coef_ = 0;
        exp_ = 0;
    }
    else if (exp_ > kMaxExp)
        exp_ = kMaxExp;
}

std::u16string Number::ToText() const { return DecimalText<std::u16string>(coef_, exp_); }

std::string Number::ToString() const { return DecimalText<std::string>(coef_, exp_); }

double Number::ToDouble() const
{
    if (coef_ == 0)
        return 0;
    const std::string s = (coef_ < 0 ? "-" : "") + CoefDigits(coef_) + "e" + std::to_string(exp_);
    return std::strtod(s.c_str(), nullptr);
}

int64_t Number::ToInt64() const
{
    constexpr Coef kMax = std::numeric_limits<int64_t>::max();
    constexpr Coef kMin = std::numeric_limits<int64_t>::min();
    Coef v;
    if (exp_ >= 0)
    {
        if (Digits(coef_) + exp_ > 19)
            return coef_ < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        v = coef_ * Pow10(exp_);
    }
    else
        v = -exp_ > 38 ? 0 : coef_ / Pow10(-exp_);
    return static_cast<int64_t>(std::clamp(v, kMin, kMax));
}

int32_t Number::ToInt32() const
{
    return static_cast<int32_t>(std::clamp<int64_t>(ToInt64(), std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool Number::IsInteger() const { return exp_ >= 0; }

void Number::SetPrecision(int precision) { precision_ = std::clamp(precision, 0, kMaxPrecision); }

Number Number::Add(const Number &a, const Number &b)
{
    const int precision = std::max(a.precision_, b.precision_);
    if (b.coef_ == 0)
        return FromParts(a.coef_, a.exp_, precision);
    if (a.coef_ == 0)
        return FromParts(b.coef_, b.exp_, precision);
    int64_t e = std::min(a.exp_, b.exp_);
    const int64_t da = Digits(a.coef_) + (a.exp_ - e), db = Digits(b.coef_) + (b.exp_ - e);
    const int64_t over = std::max(da, db) - kMaxDigits;
    if (over > 0)
        e += over;
    const auto to = static_cast<int32_t>(e);
    return FromParts(Rescale(a.coef_, a.exp_, to) + Rescale(b.coef_, b.exp_, to), to, precision);
}

Number Number::Subtract(const Number &a, const Number &b)
{
    Number nb = b;
    nb.Negate();
    return Add(a, nb);
}

Number Number::Multiply(const Number &a, const Number &b)
{
    Coef ca = a.coef_, cb = b.coef_;
    int64_t e = int64_t(a.exp_) + b.exp_;
    // Keep the product within 128 bits: at most 19 digits per factor when the exact product would not fit.
    if (Digits(ca) + Digits(cb) > 38)
    {
        for (Coef *c : {&ca, &cb})
        {
            const int cut = Digits(*c) - 19;
            if (cut > 0)
            {
                *c = RoundDiv(*c, cut);
                e += cut;
            }
        }
    }
    e = std::clamp<int64_t>(e, -100000, 100000);
    return FromParts(ca * cb, static_cast<int32_t>(e), std::max(a.precision_, b.precision_));
}

bool Number::Divide(const Number &a, const Number &b, Number &out)
{
    if (b.coef_ == 0)
        return false;
    const int precision = a.precision_;
    const Coef divisor = Abs(b.coef_);
    Coef q = Abs(a.coef_) / divisor, r = Abs(a.coef_) % divisor;
    int64_t e = int64_t(a.exp_) - b.exp_;
    // Long division, one digit at a time, up to kMaxDigits significant digits or `precision` fractional ones.
    while (r != 0 && (q == 0 || Digits(q) < kMaxDigits) && -e < precision)
    {
        r *= 10;
        q = q * 10 + r / divisor;
        r %= divisor;
        --e;
    }
    if (r * 2 >= divisor)
        ++q;
    const bool negative = (a.coef_ < 0) != (b.coef_ < 0);
    e = std::clamp<int64_t>(e, -100000, 100000);
    out = FromParts(negative ? -q : q, static_cast<int32_t>(e), precision).RoundTo(precision);
    return true;
}

int Number::Compare(const Number &a, const Number &b)
{
    const Number d = Subtract(a, b);
    return d.coef_ < 0 ? -1 : d.coef_ > 0 ? 1 : 0;
}

Number Number::RoundTo(int fractionDigits) const
{
    if (-exp_ <= fractionDigits)
        return *this;
    return FromParts(RoundDiv(coef_, -exp_ - fractionDigits), -fractionDigits, precision_);
}

Number Number::Floor() const
{
    if (exp_ >= 0)
        return *this;
    if (-exp_ > 38)
        return FromParts(coef_ < 0 ? -1 : 0, 0, precision_);
    const Coef p = Pow10(-exp_);
    Coef q = coef_ / p;
    if (coef_ % p != 0 && coef_ < 0)
        --q;
    return FromParts(q, 0, precision_);
}

} // namespace emu
