#include <charconv>
#include <cmath>

#include "core/Number.h"

namespace emu {

Number NumberFromReal(double real)
{
    // Most reals in data have a few decimals: find the fewest k for which real is m / 10^k with m exact and
    // below 10^15. Such an m / 10^k is the only decimal of at most 15 digits that reads back as real, hence the
    // shortest form, and needs no general formatting.
    constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    constexpr double kLimit = 1e15;
    for (int k = 0; k < static_cast<int>(sizeof kPowers / sizeof kPowers[0]); ++k) {
        const double scaled = real * kPowers[k];
        if (!(std::fabs(scaled) < kLimit))
            break;
        const double whole = std::nearbyint(scaled);
        if (whole / kPowers[k] == real)
            return Number::FromParts(static_cast<int64_t>(whole), -k);
    }
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, real, std::chars_format::scientific);
    Number::Coef coef = 0;
    int32_t exp = 0;
    bool negative = false;
    const char *p = buffer;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    int fractionDigits = 0;
    bool fraction = false;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        coef = coef * 10 + (*p - '0');
        fractionDigits += fraction ? 1 : 0;
    }
    if (p < written.ptr)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exp);
    const Number number = Number::FromParts(negative ? -coef : coef, exp - fractionDigits);
    return exp - fractionDigits < -Number::kDefaultPrecision ? number.RoundTo(Number::kDefaultPrecision) : number;
}

} // namespace emu
