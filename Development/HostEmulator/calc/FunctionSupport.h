// Helpers the built-in functions share: reading arguments, counting characters as FileMaker does (a surrogate pair
// is one character), values of a return-separated list.
#pragma once

#include "calc/Ast.h"
#include "calc/Evaluator.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace emu::calc
{
inline bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Values end at a carriage return, a line feed, a line separator (U+2028) or a paragraph separator (U+2029), as
// FileMaker's value functions read lists.
inline bool isValueSeparator(char16_t c) { return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029; }

// Evaluates argument `index` of the call.
short argument(Evaluator &evaluator, const Node &call, std::size_t index, Value &value);
// Argument `index` read in place when it names a variable, so that a long text is not copied, else evaluated
// into `scratch`. Only for the last argument a function reads: evaluating another could change the variable.
short argumentView(Evaluator &evaluator, const Node &call, std::size_t index, Value &scratch, const Value *&view);
// The same, for the argument's text: text refers into the stored value or into scratch.
short textArgumentView(Evaluator &evaluator, const Node &call, std::size_t index, Value &scratch, const Text *&text);
// Evaluates argument `index` and reads it as a number (empty text reads as 0).
short numberArgument(Evaluator &evaluator, const Node &call, std::size_t index, Number &number);

// Evaluates arguments from, from + 1, ... in order into the targets: a Value takes its argument as it is, a Number
// reads it as a number. Answers the first error, after which nothing more is evaluated.
inline short argumentInto(Evaluator &evaluator, const Node &call, std::size_t index, Value &value)
{
    return argument(evaluator, call, index, value);
}
inline short argumentInto(Evaluator &evaluator, const Node &call, std::size_t index, Number &number)
{
    return numberArgument(evaluator, call, index, number);
}
template <typename... Targets>
short arguments(Evaluator &evaluator, const Node &call, std::size_t from, Targets &...targets)
{
    short code = 0;
    ((code = code ? code : argumentInto(evaluator, call, from++, targets)), ...);
    return code;
}
// The number without its fraction, saturated to +-2^60 so that sums of counts cannot overflow.
int64_t wholeNumber(const Number &number);

// The arguments of Left, Right, Middle and their relatives for words and values: a text, then a count ('L',
// 'R') or a start and a count ('M'). `start` comes out 1-based, a start below 1 read as 1; for 'R' it is counted
// back from `total` (the characters, words or values of the text), so it may lie before 1.
short sliceArguments(Evaluator &evaluator, const Node &call, char which, Value &value, int64_t (*total)(const Text &),
                     int64_t &start, int64_t &count);

// Functions such as Substitute take either `plainCount` arguments, or after the first any number of lists in
// brackets of `listSize` items each. Checks the shape (errors 1201, 1202, 1204) and says which form the call has.
short checkListForm(Evaluator &evaluator, const Node &call, std::size_t plainCount, std::size_t listSize,
                    const char *message, bool &listForm);

// Evaluates argument 0 and says whether it is empty (no value, or an empty text).
short possiblyEmptyArgument(Evaluator &evaluator, const Node &call, Value &value, bool &empty);

// Characters of the text (a surrogate pair counts once).
int64_t characterCount(const std::u16string &chars);
// The unit offset of the character `characters` characters after unit `from`; the size of the text when it has
// fewer characters.
uint32_t unitOffset(const std::u16string &chars, int64_t characters, uint32_t from = 0);
// The character index (0-based) of the unit at `offset`.
int64_t characterIndex(const std::u16string &chars, uint32_t offset);

// The units [begin, end) of characters first .. first + count - 1 (1-based), clipped to the text: what
// Middle and its relatives take. Answers false when nothing of the range lies in the text.
bool characterRange(const std::u16string &chars, int64_t first, int64_t count, uint32_t &begin, uint32_t &end);

// Calls f(start, length) for each value of the text, in order, until f answers false. A separator at the very
// end closes the last value without starting another, so "a¶b¶" holds two values.
template <typename F>
void forEachValue(const std::u16string &chars, F &&f)
{
    uint32_t start = 0;
    const auto size = static_cast<uint32_t>(chars.size());
    for (uint32_t i = 0; i < size; ++i)
        if (isValueSeparator(chars[i]))
        {
            if (!f(start, i - start))
                return;
            start = i + 1;
        }
    if (start < size)
        f(start, size - start);
}

// Functions computed in binary floating point; NaN or an infinite result cannot be evaluated (error 1218).
// With `NothingAtZero`, 0 lies out of range without being an error: the result is empty (Log ( 0 )).
template <double (*F)(double), bool (*Valid)(double), bool NothingAtZero = false>
short realFunction(Evaluator &evaluator, const Node &call, Value &result)
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

// Evaluates argument 0 into `result` with `setting` at `value`, then gives the setting its earlier value back.
template <typename T>
short withSetting(Evaluator &evaluator, const Node &call, Value &result, T &setting, T value)
{
    T outer = setting;
    setting = value;
    short code = argument(evaluator, call, 0, result);
    setting = outer;
    return code;
}

int64_t valueCountOf(const std::u16string &chars);

// A whole number in decimal digits.
inline std::u16string decimalText(int64_t n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// The result text of LeftValues and its relatives: values [first, first + count) (1-based, clipped), each
// followed by a carriage return, styles kept.
Text valuesRange(const Text &text, int64_t first, int64_t count);
} // namespace emu::calc
