// Text and value-list functions: Length, Char, Code, GetAsText, GetAsNumber, List, ValueCount, GetValue.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"

#include <algorithm>
#include <string>

namespace emu::calc
{
namespace
{
constexpr int64_t kLastCodePoint = 0x10FFFF;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Values are separated by carriage returns; a line separator (U+2028) also starts a new value, so that the
// lines of a styled text and its values line up.
bool isValueSeparator(char16_t c) { return c == u'\r' || c == 0x2028; }

short evaluateArgument(Evaluator &evaluator, const Node &call, std::size_t index, Value &value)
{
    return evaluator.evaluate(*call.args[index], value);
}

// Counts characters, a surrogate pair being one character.
short length(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    const std::u16string &chars = value.AsText().Chars();
    int64_t count = 0;
    for (std::size_t i = 0; i < chars.size(); ++i)
        if (!(isLowSurrogate(chars[i]) && i > 0 && isHighSurrogate(chars[i - 1])))
            ++count;
    setNumber(result, Number::FromInt(count));
    return kCalcOK;
}

void appendCodePoint(std::u16string &out, uint32_t codePoint)
{
    if (codePoint >= 0x10000 && codePoint <= 0x10FFFF)
    {
        codePoint -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
    else if (codePoint > 0 && codePoint < 0x10000)
        out += static_cast<char16_t>(codePoint);
}

// Char ( 65 ) is "A"; Char ( 6600065 ) is "AB": each group of five digits, from the right, is one character.
// A number up to the last code point is one character, so that characters beyond U+FFFF (six or seven
// digits) come back from their Code.
short charFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    Number number = numberOf(value).Floor();
    std::u16string text;
    if (!number.IsNegative() && number.ToInt64() <= kLastCodePoint)
        appendCodePoint(text, static_cast<uint32_t>(number.ToInt64()));
    else if (!number.IsNegative())
    {
        std::u16string digits = number.ToText();
        for (std::size_t end = digits.size(); end > 0;)
        {
            std::size_t start = end >= 5 ? end - 5 : 0;
            uint32_t codePoint = 0;
            for (std::size_t i = start; i < end; ++i)
                codePoint = codePoint * 10 + (digits[i] - u'0');
            appendCodePoint(text, codePoint);
            end = start;
        }
    }
    result.SetText(text);
    return kCalcOK;
}

// Code ( "A" ) is 65; Code ( "AB" ) is 6600065: the first character in the lowest five digits.
short codeFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    const std::u16string &chars = value.AsText().Chars();
    // Lowest digit first, turned round at the end: inserting each group at the front took quadratic time.
    std::u16string digits;
    for (std::size_t i = 0; i < chars.size(); ++i)
    {
        uint32_t codePoint = chars[i];
        if (isHighSurrogate(chars[i]) && i + 1 < chars.size() && isLowSurrogate(chars[i + 1]))
        {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (chars[i + 1] - 0xDC00);
            ++i;
        }
        int groupDigits = 0;
        for (uint32_t rest = codePoint; rest > 0 || groupDigits < 5; rest /= 10, ++groupDigits)
            digits += static_cast<char16_t>(u'0' + rest % 10);
    }
    std::reverse(digits.begin(), digits.end());
    Number number;
    if (digits.empty() || !Number::ParseLiteral(digits, number))
        number = Number::FromInt(0);
    setNumber(result, number);
    return kCalcOK;
}

short getAsText(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    result.SetText(value.AsText());
    return kCalcOK;
}

// Numbers, dates and times give their number; a text gives its digits in order, or an empty number when it has none.
short getAsNumber(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    if (value.Type() != kDTText && value.Type() != kDTInvalid)
    {
        setNumber(result, numberOf(value));
        return kCalcOK;
    }
    Number number;
    if (Number::FromText(value.AsText().Chars(), number))
        setNumber(result, number);
    else
        result.Clear(kDTNumber);
    return kCalcOK;
}

// The non-empty values of the arguments, one per line; styles come along.
short list(Evaluator &evaluator, const Node &call, Value &result)
{
    Text text;
    for (std::size_t i = 0; i < call.args.size(); ++i)
    {
        Value value;
        if (short code = evaluateArgument(evaluator, call, i, value))
            return code;
        const Text &part = value.AsText();
        if (part.Empty())
            continue;
        if (!text.Empty())
            text.AppendPlain(u"\r");
        text.Append(part);
    }
    result.SetText(text);
    return kCalcOK;
}

// Start and length of each value of a text. A separator at the very end closes the last value without starting
// another, so "a¶b¶" holds two values.
std::vector<std::pair<uint32_t, uint32_t>> valueRanges(const std::u16string &chars)
{
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    uint32_t start = 0;
    for (uint32_t i = 0; i < chars.size(); ++i)
    {
        if (isValueSeparator(chars[i]))
        {
            ranges.emplace_back(start, i - start);
            start = i + 1;
        }
    }
    if (start < chars.size())
        ranges.emplace_back(start, static_cast<uint32_t>(chars.size()) - start);
    return ranges;
}

short valueCount(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    setNumber(result, Number::FromInt(static_cast<int64_t>(valueRanges(value.AsText().Chars()).size())));
    return kCalcOK;
}

short getValue(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value, index;
    if (short code = evaluateArgument(evaluator, call, 0, value))
        return code;
    if (short code = evaluateArgument(evaluator, call, 1, index))
        return code;
    const Text &text = value.AsText();
    auto ranges = valueRanges(text.Chars());
    int64_t n = numberOf(index).Floor().ToInt64();
    if (n < 1 || n > static_cast<int64_t>(ranges.size()))
        result.SetText(Text());
    else
        result.SetText(text.Slice(ranges[n - 1].first, ranges[n - 1].second));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Length", 1, 1, &length},
    {"Char", 1, 1, &charFunction},
    {"Code", 1, 1, &codeFunction},
    {"GetAsText", 1, 1, &getAsText},
    {"GetAsNumber", 1, 1, &getAsNumber},
    {"List", 1, -1, &list},
    {"ValueCount", 1, 1, &valueCount},
    {"GetValue", 2, 2, &getValue},
});
} // namespace
} // namespace emu::calc
