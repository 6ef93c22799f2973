// Value-list functions: texts whose values are separated by carriage returns. Functions that return several
// values end each one with a carriage return, as FileMaker's do.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_set>
#include <vector>

namespace emu::calc
{
namespace
{
// The non-empty values of the arguments, one per line; styles come along.
short list(Evaluator &evaluator, const Node &call, Value &result)
{
    Text text;
    for (std::size_t i = 0; i < call.args.size(); ++i)
    {
        Value value;
        if (short code = argument(evaluator, call, i, value))
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

short valueCount(Evaluator &evaluator, const Node &call, Value &result)
{
    Value scratch;
    const Value *value = nullptr;
    if (short code = argumentView(evaluator, call, 0, scratch, value))
        return code;
    setNumber(result, Number::FromInt(valueCountOf(value->AsText().Chars())));
    return kCalcOK;
}

// Value n (from 1) without its separator, styles kept; empty outside the list. Stops at value n.
short getValue(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    Number index;
    if (short code = arguments(evaluator, call, 0, value, index))
        return code;
    const Text &text = value.AsText();
    int64_t n = wholeNumber(index);
    Text found;
    forEachValue(text.Chars(), [&](uint32_t start, uint32_t length) {
        if (--n > 0)
            return true;
        if (n == 0)
            found = text.Slice(start, length);
        return false;
    });
    result.SetText(found);
    return kCalcOK;
}

// LeftValues, RightValues and MiddleValues: values as Left, Right and Middle take characters.
int64_t valuesOf(const Text &text) { return valueCountOf(text.Chars()); }

short valueSlice(Evaluator &evaluator, const Node &call, Value &result, char which)
{
    Value value;
    int64_t start = 0, count = 0;
    if (short code = sliceArguments(evaluator, call, which, value, &valuesOf, start, count))
        return code;
    result.SetText(count > 0 ? valuesRange(value.AsText(), start, count) : Text());
    return kCalcOK;
}

short leftValues(Evaluator &evaluator, const Node &call, Value &result) { return valueSlice(evaluator, call, result, 'L'); }
short rightValues(Evaluator &evaluator, const Node &call, Value &result) { return valueSlice(evaluator, call, result, 'R'); }
short middleValues(Evaluator &evaluator, const Node &call, Value &result) { return valueSlice(evaluator, call, result, 'M'); }

// The values of the text that are among filterValues, in the text's order; case is ignored.
short filterValues(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source, wanted;
    if (short code = arguments(evaluator, call, 0, source, wanted))
        return code;
    std::unordered_set<std::u16string> keep;
    const std::u16string &wantedChars = wanted.AsText().Chars();
    forEachValue(wantedChars, [&](uint32_t start, uint32_t length) {
        keep.insert(ToLowerCopy(std::u16string_view(wantedChars).substr(start, length)));
        return true;
    });
    const Text &text = source.AsText();
    Text out;
    forEachValue(text.Chars(), [&](uint32_t start, uint32_t length) {
        if (keep.count(ToLowerCopy(std::u16string_view(text.Chars()).substr(start, length))))
        {
            out.Append(text, start, length);
            out.AppendPlain(u"\r");
        }
        return true;
    });
    result.SetText(out);
    return kCalcOK;
}

// How SortValues and UniqueValues read the values: the type (1 text, 2 number, 3 date, 4 time, 5 timestamp;
// negative sorts descending) and whether text compares by raw code units ("Unicode_Raw") or ignoring case.
struct ValueOrder
{
    int type = 1;
    bool descending = false;
    bool raw = false;
    bool knownLocale = true; // false for a locale FileMaker does not know: the functions answer "?"
};

// The locales FileMaker sorts by. The emulator compares text ignoring case for all of them but Unicode_Raw.
bool isSortLocale(const std::u16string &name)
{
    static const char16_t *const kLocales[] = {
        u"Arabic", u"Bengali", u"Bulgarian", u"Catalan", u"Catalog", u"Chinese", u"Chinese_Stroke", u"Croatian",
        u"Czech", u"Danish", u"Dutch", u"English", u"Estonian", u"Finnish", u"Finnish_Custom", u"French", u"German",
        u"German_Dictionary", u"Greek", u"Greek_Mixed", u"Gujarati", u"Hebrew", u"Hindi", u"Hungarian", u"Icelandic",
        u"Italian", u"Japanese", u"Kannada", u"Korean", u"Latvian", u"Lithuanian", u"Malayalam", u"Marathi",
        u"Norwegian", u"Panjabi", u"Persian", u"Polish", u"Portuguese", u"Romanian", u"Russian", u"Serbian", u"Slovak",
        u"Slovenian", u"Spanish", u"Spanish_Traditional", u"Swedish", u"Swedish_Custom", u"Tamil", u"Telugu", u"Thai",
        u"Turkish", u"Ukrainian", u"Unicode_Raw", u"Unicode_Standard", u"Vietnamese"};
    return std::any_of(std::begin(kLocales), std::end(kLocales),
                       [&](const char16_t *locale) { return EqualIgnoringCase(name, locale); });
}

// A type that is not 1 to 5 (or -1 to -5) sorts as text, ascending; an empty locale is the file's.
short readOrder(Evaluator &evaluator, const Node &call, ValueOrder &order)
{
    if (call.args.size() > 1)
    {
        Number type;
        if (short code = numberArgument(evaluator, call, 1, type))
            return code;
        int64_t n = wholeNumber(type);
        bool known = n != 0 && n >= -5 && n <= 5;
        order.type = known ? static_cast<int>(n < 0 ? -n : n) : 1;
        order.descending = known && n < 0;
    }
    if (call.args.size() > 2)
    {
        Value locale;
        if (short code = argument(evaluator, call, 2, locale))
            return code;
        const std::u16string &name = locale.AsText().Chars();
        order.raw = EqualIgnoringCase(name, u"Unicode_Raw");
        order.knownLocale = name.empty() || isSortLocale(name);
    }
    return kCalcOK;
}

// A value's sort key: `valid` false when it is not of the type; `number` for numbers, dates and times.
struct Keyed
{
    uint32_t start = 0, length = 0;
    bool valid = false;
    Number number;
    std::u16string text; // folded unless the order is raw
};

std::vector<Keyed> keyedValues(const std::u16string &chars, const ValueOrder &order)
{
    std::vector<Keyed> values;
    forEachValue(chars, [&](uint32_t start, uint32_t length) {
        Keyed keyed;
        keyed.start = start;
        keyed.length = length;
        std::u16string_view value = std::u16string_view(chars).substr(start, length);
        DateTime dateTime;
        switch (order.type)
        {
        case 2: keyed.valid = Number::FromText(value, keyed.number); break;
        case 3: keyed.valid = DateTime::ParseDate(value, dateTime); break;
        case 4: keyed.valid = DateTime::ParseTime(value, dateTime); break;
        case 5: keyed.valid = DateTime::ParseTimestamp(value, dateTime); break;
        default: keyed.valid = true; break;
        }
        if (order.type >= 3 && keyed.valid)
            keyed.number = dateTime.Seconds();
        keyed.text = order.raw ? std::u16string(value) : ToLowerCopy(value);
        values.push_back(std::move(keyed));
        return true;
    });
    return values;
}

// Values of the type come first in their order; the others follow as text.
int compareKeyed(const Keyed &a, const Keyed &b, const ValueOrder &order)
{
    if (a.valid != b.valid)
        return a.valid ? -1 : 1;
    int c = a.valid && order.type != 1 ? Number::Compare(a.number, b.number) : a.text.compare(b.text);
    return order.descending && a.valid ? -c : c;
}

Text joinValues(const Text &text, const std::vector<Keyed> &values)
{
    Text out;
    for (const Keyed &value : values)
    {
        out.Append(text, value.start, value.length);
        out.AppendPlain(u"\r");
    }
    return out;
}

// The arguments of SortValues and UniqueValues: the values with their keys, and the order.
short orderedValues(Evaluator &evaluator, const Node &call, Value &source, ValueOrder &order, std::vector<Keyed> &values)
{
    if (short code = argument(evaluator, call, 0, source))
        return code;
    if (short code = readOrder(evaluator, call, order))
        return code;
    if (order.knownLocale)
        values = keyedValues(source.AsText().Chars(), order);
    return kCalcOK;
}

// SortValues ( values { ; datatype ; locale } ): a stable sort, so equal values keep their order.
short sortValues(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source;
    ValueOrder order;
    std::vector<Keyed> values;
    if (short code = orderedValues(evaluator, call, source, order, values))
        return code;
    std::stable_sort(values.begin(), values.end(),
                     [&](const Keyed &a, const Keyed &b) { return compareKeyed(a, b, order) < 0; });
    result.SetText(order.knownLocale ? joinValues(source.AsText(), values) : Text(u"?"));
    return kCalcOK;
}

// UniqueValues ( values { ; datatype ; locale } ): the first of each group of equal values, in their order.
short uniqueValues(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source;
    ValueOrder order;
    std::vector<Keyed> values;
    if (short code = orderedValues(evaluator, call, source, order, values))
        return code;
    std::unordered_set<std::u16string> seen;
    std::vector<Keyed> unique;
    for (Keyed &value : values)
    {
        // Numbers, dates and times compare by value ("1" and "1.0" are one), other values by their text.
        std::u16string key = value.valid && order.type != 1 ? u'#' + value.number.ToText() : u'$' + value.text;
        if (seen.insert(std::move(key)).second)
            unique.push_back(std::move(value));
    }
    result.SetText(order.knownLocale ? joinValues(source.AsText(), unique) : Text(u"?"));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"List", 1, -1, &list},
    {"ValueCount", 1, 1, &valueCount},
    {"GetValue", 2, 2, &getValue},
    {"LeftValues", 2, 2, &leftValues},
    {"RightValues", 2, 2, &rightValues},
    {"MiddleValues", 3, 3, &middleValues},
    {"FilterValues", 2, 2, &filterValues},
    {"SortValues", 1, 3, &sortValues},
    {"UniqueValues", 1, 3, &uniqueValues},
});
} // namespace
} // namespace emu::calc
