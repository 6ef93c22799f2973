#include "sql/SortNumberInFMText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include "FMWrapper/FMXTypes.h"

namespace
{
const char kParagraph = '\r';
// Host text encoding code used for the list in both directions: numbers are plain ASCII in it.
const fmx::Text::Encoding kListEncoding = fmx::Text::kEncoding_ASCII_Mac;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The C library's white space in the "C" locale (the carriage return never reaches here: it separates paragraphs).
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Length of the decimal floating-point number at [p, end): [sign] digits [. digits] [e [sign] digits], with at least
// one digit before the exponent. 0 when there is none. Words the C library would also read ("inf", "nan",
// "information") and hexadecimal forms are not numbers of a list.
std::size_t numberLength(const char *p, const char *end)
{
    const char *q = p;
    if (q < end && (*q == '+' || *q == '-'))
        ++q;
    std::size_t digits = 0;
    while (q < end && isDigit(*q))
        ++q, ++digits;
    if (q < end && *q == '.')
    {
        ++q;
        while (q < end && isDigit(*q))
            ++q, ++digits;
    }
    if (digits == 0)
        return 0;
    if (q < end && (*q == 'e' || *q == 'E'))
    {
        const char *e = q + 1;
        if (e < end && (*e == '+' || *e == '-'))
            ++e;
        if (e < end && isDigit(*e))
        {
            while (e < end && isDigit(*e))
                ++e;
            q = e;
        }
    }
    return static_cast<std::size_t>(q - p);
}

bool parseNumber(const char *p, const char *end, double &value)
{
    while (p < end && isBlank(*p))
        ++p;
    const std::size_t length = numberLength(p, end);
    if (length == 0)
        return false;
    const char *first = (*p == '+') ? p + 1 : p; // from_chars takes no plus sign
    const auto parsed = std::from_chars(first, p + length, value);
    if (parsed.ec == std::errc::result_out_of_range)
    {
        // Beyond double range: the C library's answer (an infinity or zero with the sign), read with the full stop
        // as decimal point whatever locale the host process runs in.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        const std::string copy(p, length);
        value = strtod_l(copy.c_str(), nullptr, cLocale);
    }
    return true;
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
    char buffer[32];
    for (double number : numbers)
    {
        // The general notation with 6 significant digits is exactly what "%g" prints.
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 6);
        out.append(buffer, written.ptr);
        out += kParagraph;
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

    fmx::TextUniquePtr out;
    out->AssignWithLength(sorted.data(), static_cast<fmx::uint32>(sorted.size()), kListEncoding);
    result.SetAsText(*out, result.GetLocale());
}
