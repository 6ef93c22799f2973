#include "calc/FunctionSupport.h"

#include <algorithm>

namespace emu::calc
{
namespace
{
// Small enough that a start plus a count cannot overflow.
constexpr int64_t kWholeLimit = int64_t(1) << 60;
}

short argument(Evaluator &evaluator, const Node &call, std::size_t index, Value &value)
{
    return evaluator.evaluate(*call.args[index], value);
}

short argumentView(Evaluator &evaluator, const Node &call, std::size_t index, Value &scratch, const Value *&view)
{
    view = evaluator.storedValue(*call.args[index]);
    if (view)
        return kCalcOK;
    view = &scratch;
    return argument(evaluator, call, index, scratch);
}

short textArgumentView(Evaluator &evaluator, const Node &call, std::size_t index, Value &scratch, const Text *&text)
{
    const Value *view = nullptr;
    if (short code = argumentView(evaluator, call, index, scratch, view))
        return code;
    text = &view->AsText();
    return kCalcOK;
}

short numberArgument(Evaluator &evaluator, const Node &call, std::size_t index, Number &number)
{
    Value value;
    if (short code = argument(evaluator, call, index, value))
        return code;
    number = numberOf(value);
    return kCalcOK;
}

short sliceArguments(Evaluator &evaluator, const Node &call, char which, Value &value, int64_t (*total)(const Text &),
                     int64_t &start, int64_t &count)
{
    Number first, n;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    if (short code = numberArgument(evaluator, call, 1, which == 'M' ? first : n))
        return code;
    if (which == 'M')
        if (short code = numberArgument(evaluator, call, 2, n))
            return code;
    count = wholeNumber(n);
    // A start below 1 counts as 1: Middle ( "abcdef" ; 0 ; 3 ) is "abc".
    start = which == 'L' ? 1 : which == 'R' ? total(value.AsText()) - count + 1 : std::max<int64_t>(wholeNumber(first), 1);
    return kCalcOK;
}

short checkListForm(Evaluator &evaluator, const Node &call, std::size_t plainCount, std::size_t listSize,
                    const char *message, bool &listForm)
{
    listForm = call.args.size() > 1 && call.args[1]->kind == NodeKind::List;
    if (!listForm && call.args.size() != plainCount)
        return evaluator.fail(call.args.size() < plainCount ? kTooFewParameters : kTooManyParameters, call, message);
    for (std::size_t i = 1; listForm && i < call.args.size(); ++i)
    {
        const Node &list = *call.args[i];
        if (list.kind != NodeKind::List || list.args.size() != listSize)
            return evaluator.fail(list.kind != NodeKind::List       ? kOperandExpected
                                  : list.args.size() < listSize     ? kTooFewParameters
                                                                    : kTooManyParameters,
                                  list, message);
    }
    return kCalcOK;
}

short possiblyEmptyArgument(Evaluator &evaluator, const Node &call, Value &value, bool &empty)
{
    if (short code = argument(evaluator, call, 0, value))
        return code;
    empty = value.IsEmpty() || (value.Type() == kDTText && value.AsText().Empty());
    return kCalcOK;
}

int64_t wholeNumber(const Number &number)
{
    return std::clamp(number.ToInt64(), -kWholeLimit, kWholeLimit);
}

int64_t characterCount(const std::u16string &chars)
{
    return characterIndex(chars, static_cast<uint32_t>(chars.size()));
}

uint32_t unitOffset(const std::u16string &chars, int64_t characters, uint32_t from)
{
    std::size_t i = from;
    for (; characters > 0 && i < chars.size(); --characters)
        i += isHighSurrogate(chars[i]) && i + 1 < chars.size() && isLowSurrogate(chars[i + 1]) ? 2 : 1;
    return static_cast<uint32_t>(i);
}

int64_t characterIndex(const std::u16string &chars, uint32_t offset)
{
    // Every unit counts but the second of a surrogate pair; written without branches so that long texts are
    // counted several units at a time.
    const std::size_t end = std::min<std::size_t>(offset, chars.size());
    int64_t pairs = 0;
    for (std::size_t i = 1; i < end; ++i)
        pairs += static_cast<int64_t>(isLowSurrogate(chars[i]) & isHighSurrogate(chars[i - 1]));
    return static_cast<int64_t>(end) - pairs;
}

bool characterRange(const std::u16string &chars, int64_t first, int64_t count, uint32_t &begin, uint32_t &end)
{
    int64_t from = first - 1, to = from + count; // 0-based, [from, to)
    from = std::max<int64_t>(from, 0);
    if (to <= from)
        return false;
    begin = unitOffset(chars, from);
    if (begin >= chars.size())
        return false;
    // Counted on from begin rather than from the start, so the text is walked once.
    end = unitOffset(chars, to - from, begin);
    return true;
}

int64_t valueCountOf(const std::u16string &chars)
{
    int64_t count = 0;
    forEachValue(chars, [&](uint32_t, uint32_t) { return ++count, true; });
    return count;
}

Text valuesRange(const Text &text, int64_t first, int64_t count)
{
    Text out;
    int64_t from = std::max<int64_t>(first, 1), to = first + count; // 1-based, [from, to)
    int64_t index = 0;
    forEachValue(text.Chars(), [&](uint32_t start, uint32_t length) {
        ++index;
        if (index >= to)
            return false;
        if (index >= from)
        {
            out.Append(text, start, length);
            out.AppendPlain(u"\r");
        }
        return true;
    });
    return out;
}
} // namespace emu::calc
