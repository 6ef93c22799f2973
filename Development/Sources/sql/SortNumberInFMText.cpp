#include "sql/SortNumberInFMText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <stdexcept>
#include <string>

#include "FMWrapper/FMXTypes.h"
#include "host/ResultLimits.h"

namespace
{
const char kParagraph = '\r';
// Host text encoding code used for the list in both directions: numbers are plain ASCII in it.
const fmx::Text::Encoding kListEncoding = fmx::Text::kEncoding_ASCII_Mac;
// Numbers are written in full plain digits, so a list of 1e308 lines grows fiftyfold: the limit ends it with an
// error instead of exhausting the server.
const std::size_t kLongestList = fmlib::kLongestResultText;

[[noreturn]] void refuseLongList()
{
    throw std::length_error("Sort gave up: the sorted list would be longer than " + std::to_string(kLongestList) +
                            " characters");
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The C library's white space in the "C" locale (the carriage return never reaches here: it separates paragraphs).
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Everything "%lf" reads besides plain decimals (hexadecimal, infinity, NaN, values beyond double range), read by
// the C library itself with the full stop as decimal point whatever locale the host process runs in.
bool parseWithCLibrary(const char *p, const char *end, double &value)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string copy(p, end);
    char *stop = nullptr;
    value = strtod_l(copy.c_str(), &stop, cLocale);
    return stop != copy.c_str();
}

// The number a piece starts with, as "%lf" reads it. False for a piece without one and for NaN, which has no place
// in a sorted list.
bool parseNumber(const char *p, const char *end, double &value)
{
    while (p < end && isBlank(*p))
        ++p;
    const char *digits = (p < end && (*p == '+' || *p == '-')) ? p + 1 : p;
    const bool hexadecimal = end - digits >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    const bool decimal = digits < end && (isDigit(*digits) || *digits == '.') && !hexadecimal;
    if (decimal)
    {
        // The usual case, without a copy: from_chars reads decimals exactly as strtod does but takes no plus sign.
        const auto parsed = std::from_chars(*p == '+' ? p + 1 : p, end, value, std::chars_format::general);
        if (parsed.ec == std::errc())
            return true;
        if (parsed.ec != std::errc::result_out_of_range)
            return false; // "." or "-." with no digit
    }
    else if (digits == end || (!hexadecimal && *digits != 'i' && *digits != 'I'))
        return false; // not a number, or NaN
    return parseWithCLibrary(p, end, value) && !std::isnan(value);
}

// Writes number in the shortest plain decimal that reads back as the same double (no exponent, as FileMaker writes
// numbers). FileMaker has no infinity, and no digits read back as one, so it is written as the word the sort itself
// reads as infinity: a sorted list sorts again to itself.
void appendNumber(std::string &out, double number)
{
    if (std::isinf(number))
    {
        out += number < 0 ? "-inf" : "inf";
        return;
    }
    // The shortest digits come from the scientific form ("-1.2345e+06"); they are then written out in full.
    char scientific[32];
    const char *const end = std::to_chars(scientific, scientific + sizeof scientific, number,
                                          std::chars_format::scientific).ptr;
    const char *p = scientific;
    if (*p == '-')
        out += *p++;
    char digits[24];
    int count = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.')
            digits[count++] = *p;
    int exponent = 0; // of the first digit
    if (p < end)
    {
        const char *e = p + 1;
        if (e < end && *e == '+')
            ++e;
        std::from_chars(e, end, exponent);
    }
    if (exponent >= count - 1)
        out.append(digits, static_cast<std::size_t>(count)).append(static_cast<std::size_t>(exponent - (count - 1)), '0');
    else if (exponent >= 0)
        out.append(digits, static_cast<std::size_t>(exponent) + 1)
            .append(1, '.')
            .append(digits + exponent + 1, static_cast<std::size_t>(count - exponent - 1));
    else
        out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits, static_cast<std::size_t>(count));
}
}

std::vector<double> vtl::NumbersFromLines(const std::string &bytes)
{
    std::vector<double> numbers;
    numbers.reserve(bytes.size() / 4 + 1);
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    for (;;)
    {
        const char *lineEnd = static_cast<const char *>(std::memchr(p, kParagraph, static_cast<std::size_t>(end - p)));
        if (lineEnd == nullptr)
            lineEnd = end;
        double value;
        if (parseNumber(p, lineEnd, value))
            numbers.push_back(value);
        if (lineEnd == end)
            break;
        p = lineEnd + 1;
    }
    return numbers;
}

std::string vtl::SortedNumberList(const std::string &bytes)
{
    std::vector<double> numbers = NumbersFromLines(bytes);
    std::sort(numbers.begin(), numbers.end());
    std::string out;
    out.reserve(numbers.size() * 8);
    for (double number : numbers)
    {
        appendNumber(out, number);
        out += kParagraph;
        if (out.size() > kLongestList)
            refuseLongList();
    }
    return out;
}

void SortNumberInFMText(const fmx::Text &text, fmx::Data &result)
{
    const fmx::uint32 size = text.GetSize();
    std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
    if (size > 0)
        text.GetBytes(&bytes[0], size + 1, 0, fmx::Text::kSize_End, kListEncoding);
    bytes.resize(std::strlen(bytes.c_str()));

    const std::string sorted = vtl::SortedNumberList(bytes);

    // The host takes a 32-bit length.
    if (sorted.size() > std::numeric_limits<fmx::uint32>::max())
        refuseLongList();
    fmx::TextUniquePtr out;
    out->AssignWithLength(sorted.data(), static_cast<fmx::uint32>(sorted.size()), kListEncoding);
    result.SetAsText(*out, result.GetLocale());
}
