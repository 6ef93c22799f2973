// Text functions: lengths, slices, searches, substitution, case, words and character codes.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include "core/Encoding.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace emu::calc
{
namespace
{
constexpr int64_t kLastCodePoint = 0x10FFFF;
constexpr char16_t kPilcrow = 0x00B6;
constexpr char16_t kIdeographicSpace = 0x3000;

void setWhole(Value &result, int64_t number) { setNumber(result, Number::FromInt(number)); }

// Counts characters, a surrogate pair being one character.
// A function of one text that answers a text.
template <Text (*F)(const Text &)>
short textToText(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    result.SetText(F(value.AsText()));
    return kCalcOK;
}

short length(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    setWhole(result, characterCount(value.AsText().Chars()));
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
    if (short code = argument(evaluator, call, 0, value))
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
    if (short code = argument(evaluator, call, 0, value))
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
    // An empty text has no code. Digits beyond what a number carries exactly would come out rounded, a wrong
    // code: those answer the "?" FileMaker shows for a code too long for a number.
    if (digits.empty())
    {
        result.Clear(kDTNumber);
        return kCalcOK;
    }
    std::reverse(digits.begin(), digits.end());
    Number number;
    if (digits.size() > static_cast<std::size_t>(Number::kMaxDigits) || !Number::ParseLiteral(digits, number))
    {
        result.SetText(Text(u"?"));
        return kCalcOK;
    }
    setNumber(result, number);
    return kCalcOK;
}

int64_t charactersOf(const Text &text) { return characterCount(text.Chars()); }

// Left, Right and Middle share one shape: a text, then numbers that choose characters; styles come along.
// Middle ( text ; start ; count ) takes the characters start .. start + count - 1 that lie in the text, so a
// start before 1 shortens the result rather than moving it.
short slice(Evaluator &evaluator, const Node &call, Value &result, char which)
{
    Value value;
    int64_t start = 0, count = 0;
    if (short code = sliceArguments(evaluator, call, which, value, &charactersOf, start, count))
        return code;
    const Text &text = value.AsText();
    uint32_t begin = 0, end = 0;
    if (characterRange(text.Chars(), start, count, begin, end))
        result.SetText(text.Slice(begin, end - begin));
    else
        result.SetText(Text());
    return kCalcOK;
}

short left(Evaluator &evaluator, const Node &call, Value &result) { return slice(evaluator, call, result, 'L'); }
short right(Evaluator &evaluator, const Node &call, Value &result) { return slice(evaluator, call, result, 'R'); }
short middle(Evaluator &evaluator, const Node &call, Value &result) { return slice(evaluator, call, result, 'M'); }

// Start offsets of the occurrences of `needle` in `haystack`: with `overlapping`, every one, as Position counts
// them; without, each search going on after the occurrence found, as PatternCount counts them. Both are already
// folded when the search ignores case.
template <typename F>
void forEachOccurrence(const std::u16string &haystack, const std::u16string &needle, bool overlapping, F &&f)
{
    if (needle.empty())
        return;
    const std::size_t step = overlapping ? 1 : needle.size();
    for (std::size_t at = haystack.find(needle); at != std::u16string::npos; at = haystack.find(needle, at + step))
        if (!f(at))
            return;
}

short patternCount(Evaluator &evaluator, const Node &call, Value &result)
{
    Value text, search;
    if (short code = arguments(evaluator, call, 0, text, search))
        return code;
    int64_t count = 0;
    forEachOccurrence(ToLowerCopy(text.AsText().Chars()), ToLowerCopy(search.AsText().Chars()), false,
                      [&](std::size_t) { return ++count, true; });
    setWhole(result, count);
    return kCalcOK;
}

// Position ( text ; searchString ; start ; occurrence ): a negative occurrence searches backwards from start.
// Case is ignored; 0 when there is no such occurrence.
short position(Evaluator &evaluator, const Node &call, Value &result)
{
    Value text, search;
    Number start, occurrence;
    if (short code = arguments(evaluator, call, 0, text, search, start, occurrence))
        return code;
    const std::u16string haystack = ToLowerCopy(text.AsText().Chars());
    const std::u16string needle = ToLowerCopy(search.AsText().Chars());
    int64_t wanted = wholeNumber(occurrence);
    uint32_t from = unitOffset(haystack, std::max<int64_t>(wholeNumber(start), 1) - 1);
    std::size_t found = std::u16string::npos;
    if (!needle.empty() && wanted > 0)
        forEachOccurrence(haystack.substr(from), needle, true, [&](std::size_t at) {
            if (--wanted > 0)
                return true;
            found = from + at;
            return false;
        });
    else if (!needle.empty() && wanted < 0 && wholeNumber(start) >= 1)
        for (std::size_t at = haystack.rfind(needle, from); at != std::u16string::npos;
             at = at == 0 ? std::u16string::npos : haystack.rfind(needle, at - 1))
            if (++wanted == 0)
            {
                found = at;
                break;
            }
    setWhole(result, found == std::u16string::npos ? 0 : characterIndex(haystack, static_cast<uint32_t>(found)) + 1);
    return kCalcOK;
}

// Every occurrence of `search` replaced, in one pass; the text keeps its styles, replacements bring their own.
Text substituteAll(const Text &text, const std::u16string &search, const Text &replacement)
{
    const std::u16string &chars = text.Chars();
    if (search.empty() || chars.find(search) == std::u16string::npos)
        return text;
    Text out;
    std::size_t done = 0;
    for (std::size_t at = chars.find(search); at != std::u16string::npos; at = chars.find(search, done))
    {
        out.Append(text, static_cast<uint32_t>(done), static_cast<uint32_t>(at - done));
        out.Append(replacement);
        done = at + search.size();
    }
    out.Append(text, static_cast<uint32_t>(done));
    return out;
}

// Substitute ( text ; searchString ; replaceString ) or Substitute ( text ; [ search1 ; replace1 ] ; ... ): the
// pairs apply in order, each to the result of the ones before. Case matters.
short substitute(Evaluator &evaluator, const Node &call, Value &result)
{
    bool listForm = false;
    if (short code = checkListForm(evaluator, call, 3, 2, "Substitute takes a search and a replacement, or "
                                                          "[ search ; replacement ] pairs", listForm))
        return code;
    Value source;
    if (short code = argument(evaluator, call, 0, source))
        return code;
    Text text = source.AsText();
    for (std::size_t i = 1; i < call.args.size(); ++i)
    {
        const Node &pair = *call.args[i];
        Value search, replacement;
        if (short code = evaluator.evaluate(listForm ? *pair.args[0] : pair, search))
            return code;
        if (short code = evaluator.evaluate(listForm ? *pair.args[1] : *call.args[++i], replacement))
            return code;
        text = substituteAll(text, search.AsText().Chars(), replacement.AsText());
    }
    result.SetText(text);
    return kCalcOK;
}

// Replace ( text ; start ; numberOfCharacters ; replacementText )
short replace(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source, replacement;
    Number start, count;
    if (short code = arguments(evaluator, call, 0, source, start, count, replacement))
        return code;
    const Text &text = source.AsText();
    uint32_t begin = unitOffset(text.Chars(), std::max<int64_t>(wholeNumber(start), 1) - 1);
    uint32_t end = unitOffset(text.Chars(), std::max<int64_t>(wholeNumber(count), 0), begin);
    Text out = text.Slice(0, begin);
    out.Append(replacement.AsText());
    out.Append(text, end);
    result.SetText(out);
    return kCalcOK;
}

// Trim removes leading and trailing spaces, nothing else (returns and tabs stay).
Text trimmed(const Text &text)
{
    std::size_t first = text.Chars().find_first_not_of(u' ');
    if (first == std::u16string::npos)
        return Text();
    return text.Slice(static_cast<uint32_t>(first), static_cast<uint32_t>(text.Chars().find_last_not_of(u' ') + 1 - first));
}

// TrimAll's division of characters: below U+2F00 a character counts as Roman, from it on (CJK, kana, full-width
// forms) as non-Roman.
bool isNonRoman(char16_t c) { return c >= 0x2F00; }

// What TrimAll leaves between two characters, by trimType: 0 one space between Roman characters only; 1 also one
// half-width space between a Roman and a non-Roman character, added when there is none; 2 the same without adding
// one; 3 no space at all. Spaces between two non-Roman characters always go.
bool keepsSpaceBetween(char16_t before, char16_t after, int trimType)
{
    const bool mixed = isNonRoman(before) != isNonRoman(after);
    if (trimType == 3 || (!mixed && isNonRoman(before)))
        return false;
    return !mixed || trimType == 1 || trimType == 2;
}

// TrimAll ( text ; trimSpaces ; trimType ): leading and trailing spaces go, and the spaces between characters
// follow the trim type; trimSpaces 1 treats full-width spaces (U+3000) as spaces, 0 keeps them as characters.
// A trim type outside 0 to 3 is read as 0.
short trimAll(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    Number fullWidth, type;
    if (short code = arguments(evaluator, call, 0, value, fullWidth, type))
        return code;
    const bool wide = !fullWidth.IsZero();
    const int64_t typeNumber = wholeNumber(type);
    const int trimType = typeNumber >= 0 && typeNumber <= 3 ? static_cast<int>(typeNumber) : 0;
    const Text &text = value.AsText();
    const std::u16string &chars = text.Chars();
    auto isSpace = [&](char16_t c) { return c == u' ' || (wide && c == kIdeographicSpace); };
    Text out;
    std::size_t i = 0, size = chars.size(), last = std::u16string::npos; // the last character kept
    while (i < size)
    {
        if (!isSpace(chars[i]))
        {
            // Type 1 puts a space where Roman and non-Roman characters meet without one.
            std::size_t runEnd = i + 1;
            while (runEnd < size && !isSpace(chars[runEnd]) &&
                   !(trimType == 1 && isNonRoman(chars[runEnd - 1]) != isNonRoman(chars[runEnd])))
                ++runEnd;
            if (trimType == 1 && last != std::u16string::npos && last + 1 == i &&
                isNonRoman(chars[last]) != isNonRoman(chars[i]))
                out.AppendPlain(u" ");
            out.Append(text, static_cast<uint32_t>(i), static_cast<uint32_t>(runEnd - i));
            last = runEnd - 1;
            i = runEnd;
            continue;
        }
        std::size_t runEnd = i;
        while (runEnd < size && isSpace(chars[runEnd]))
            ++runEnd;
        if (last != std::u16string::npos && runEnd < size && keepsSpaceBetween(chars[last], chars[runEnd], trimType))
            out.Append(text, static_cast<uint32_t>(i), 1);
        i = runEnd;
    }
    result.SetText(out);
    return kCalcOK;
}

template <void (Text::*Change)()>
Text changedCase(const Text &text)
{
    Text out = text;
    (out.*Change)();
    return out;
}

// Letters, digits and the letters of other scripts; spaces, punctuation and symbols separate words.
bool isWordChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    if (c >= 0xA0 && c <= 0xBF)
        return c == 0xAA || c == 0xB2 || c == 0xB3 || c == 0xB5 || c == 0xB9 || c == 0xBA || (c >= 0xBC && c <= 0xBE);
    return c != 0xD7 && c != 0xF7 && !(c >= 0x2000 && c <= 0x206F) && !(c >= 0x3000 && c <= 0x303F) &&
           !(c >= 0xFF01 && c <= 0xFF0F) && !(c >= 0xFF1A && c <= 0xFF20) && !(c >= 0xFF3B && c <= 0xFF40) &&
           !(c >= 0xFF5B && c <= 0xFF65) && c != 0xFEFF;
}

bool isDigitChar(char16_t c) { return c >= u'0' && c <= u'9'; }

// An apostrophe or a full stop between two word characters joins them ("don't", "3.14", "example.com"); a comma
// or colon joins only digits ("1,000", "10:30").
bool joinsWord(const std::u16string &chars, std::size_t i)
{
    if (i == 0 || i + 1 >= chars.size() || !isWordChar(chars[i - 1]) || !isWordChar(chars[i + 1]))
        return false;
    char16_t c = chars[i];
    if (c == u'\'' || c == 0x2019 || c == u'.')
        return true;
    return (c == u',' || c == u':') && isDigitChar(chars[i - 1]) && isDigitChar(chars[i + 1]);
}

// The words of a text as unit ranges [begin, end).
std::vector<std::pair<uint32_t, uint32_t>> words(const std::u16string &chars)
{
    std::vector<std::pair<uint32_t, uint32_t>> found;
    std::size_t i = 0;
    while (i < chars.size())
    {
        if (!isWordChar(chars[i]))
        {
            ++i;
            continue;
        }
        std::size_t begin = i;
        while (i < chars.size() && (isWordChar(chars[i]) || joinsWord(chars, i)))
            ++i;
        found.emplace_back(static_cast<uint32_t>(begin), static_cast<uint32_t>(i));
    }
    return found;
}

int64_t wordsOf(const Text &text) { return static_cast<int64_t>(words(text.Chars()).size()); }

short wordCount(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    if (short code = argument(evaluator, call, 0, value))
        return code;
    setWhole(result, static_cast<int64_t>(words(value.AsText().Chars()).size()));
    return kCalcOK;
}

// LeftWords, RightWords and MiddleWords: from the start of the first chosen word to the end of the last, with
// what lies between them; a start before 1 shortens the range as Middle does.
short wordSlice(Evaluator &evaluator, const Node &call, Value &result, char which)
{
    Value value;
    int64_t start = 0, count = 0;
    if (short code = sliceArguments(evaluator, call, which, value, &wordsOf, start, count))
        return code;
    const Text &text = value.AsText();
    auto found = words(text.Chars());
    int64_t from = std::max<int64_t>(start - 1, 0); // 0-based, [from, to)
    int64_t to = std::min(start - 1 + count, static_cast<int64_t>(found.size()));
    if (from >= to)
        result.SetText(Text());
    else
        result.SetText(text.Slice(found[from].first, found[to - 1].second - found[from].first));
    return kCalcOK;
}

short leftWords(Evaluator &evaluator, const Node &call, Value &result) { return wordSlice(evaluator, call, result, 'L'); }
short rightWords(Evaluator &evaluator, const Node &call, Value &result) { return wordSlice(evaluator, call, result, 'R'); }
short middleWords(Evaluator &evaluator, const Node &call, Value &result) { return wordSlice(evaluator, call, result, 'M'); }

// The first letter of each word upper case, the others lower case: a letter is lowered when a letter or digit
// comes right before it.
Text properCase(const Text &text)
{
    const std::u16string &chars = text.Chars();
    // Runs that change the same way are sliced off with their styles and changed in one go.
    Text out;
    auto raise = [&](std::size_t i) { return i == 0 || !isWordChar(chars[i - 1]); };
    for (std::size_t i = 0; i < chars.size();)
    {
        std::size_t end = i + 1;
        while (end < chars.size() && raise(end) == raise(i))
            ++end;
        Text piece = text.Slice(static_cast<uint32_t>(i), static_cast<uint32_t>(end - i));
        if (raise(i))
            piece.Uppercase();
        else
            piece.Lowercase();
        out.Append(piece);
        i = end;
    }
    return out;
}

short exact(Evaluator &evaluator, const Node &call, Value &result)
{
    Value a, b;
    if (short code = arguments(evaluator, call, 0, a, b))
        return code;
    setBoolean(result, a.AsText().Chars() == b.AsText().Chars());
    return kCalcOK;
}

// The characters of the text that occur in filterText, in their order; case matters.
short filter(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source, allowed;
    if (short code = arguments(evaluator, call, 0, source, allowed))
        return code;
    std::vector<bool> basic(0x10000);
    std::unordered_set<std::u16string> pairs;
    const std::u16string &keep = allowed.AsText().Chars();
    for (std::size_t i = 0; i < keep.size(); ++i)
        if (isHighSurrogate(keep[i]) && i + 1 < keep.size() && isLowSurrogate(keep[i + 1]))
            pairs.insert(keep.substr(i++, 2));
        else
            basic[keep[i]] = true;
    const Text &text = source.AsText();
    const std::u16string &chars = text.Chars();
    Text out;
    for (std::size_t i = 0; i < chars.size();)
    {
        std::size_t width = isHighSurrogate(chars[i]) && i + 1 < chars.size() && isLowSurrogate(chars[i + 1]) ? 2 : 1;
        bool kept = width == 2 ? pairs.count(chars.substr(i, 2)) > 0 : basic[chars[i]];
        std::size_t end = i + width;
        // Runs of kept characters go over in one append.
        while (kept && end < chars.size() && !isHighSurrogate(chars[end]) && basic[chars[end]])
            ++end;
        if (kept)
            out.Append(text, static_cast<uint32_t>(i), static_cast<uint32_t>(end - i));
        i = end;
    }
    result.SetText(out);
    return kCalcOK;
}

// The text in quotation marks, written so that the calculation language reads it back: \" for a quotation
// mark, \\ for a backslash, ¶ for a carriage return and \¶ for a pilcrow.
Text quoted(const Text &text)
{
    std::u16string out(1, u'"');
    for (char16_t c : text.Chars())
    {
        if (c == u'"' || c == u'\\' || c == kPilcrow)
            out += u'\\';
        out += c == u'\r' ? kPilcrow : c;
    }
    out += u'"';
    return Text(std::move(out));
}

// Decimal digit strings without sign: a + b, and a - b for a >= b.
std::string addDigits(const std::string &a, const std::string &b)
{
    std::string sum;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i)
    {
        int d = carry + (i < a.size() ? a[a.size() - 1 - i] - '0' : 0) + (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        sum += static_cast<char>('0' + d % 10);
        carry = d / 10;
    }
    std::reverse(sum.begin(), sum.end());
    return sum;
}

std::string subtractDigits(const std::string &a, const std::string &b)
{
    std::string difference;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        int d = (a[a.size() - 1 - i] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = d < 0;
        difference += static_cast<char>('0' + (d + 10) % 10);
    }
    while (difference.size() > 1 && difference.back() == '0')
        difference.pop_back();
    std::reverse(difference.begin(), difference.end());
    return difference;
}

bool digitsLess(const std::string &a, const std::string &b)
{
    std::size_t za = std::min(a.find_first_not_of('0'), a.size()), zb = std::min(b.find_first_not_of('0'), b.size());
    std::string_view sa(a.data() + za, a.size() - za), sb(b.data() + zb, b.size() - zb);
    return sa.size() != sb.size() ? sa.size() < sb.size() : sa < sb;
}

// SerialIncrement ( text ; incrementBy ): the last run of digits in the text plus the increment's whole part,
// keeping its width with leading zeros ("abc009" + 1 is "abc010"). Characters before the digits stay, so a
// hyphen is no sign ("abc-12" + 1 is "abc-13"); a result below zero takes a minus sign before the digits.
// A text without digits is returned unchanged.
short serialIncrement(Evaluator &evaluator, const Node &call, Value &result)
{
    Value value;
    Number increment;
    if (short code = arguments(evaluator, call, 0, value, increment))
        return code;
    const Text &text = value.AsText();
    const std::u16string &chars = text.Chars();
    std::size_t last = chars.find_last_of(u"0123456789");
    if (last == std::u16string::npos)
    {
        result.SetText(text);
        return kCalcOK;
    }
    std::size_t first = last;
    while (first > 0 && isDigitChar(chars[first - 1]))
        --first;
    std::string digits(chars.begin() + first, chars.begin() + last + 1);
    Number whole = increment;
    whole = whole.IsNegative() ? Number::Subtract(Number::FromInt(0), Number::Subtract(Number::FromInt(0), whole).Floor())
                               : whole.Floor();
    std::string by = whole.ToString();
    bool negative = !by.empty() && by[0] == '-';
    if (negative)
        by.erase(0, 1);
    std::string sum;
    bool below = false;
    if (!negative)
        sum = addDigits(digits, by);
    else if (!digitsLess(digits, by))
        sum = subtractDigits(digits, by);
    else
        sum = subtractDigits(by, digits), below = true;
    if (sum.size() < digits.size())
        sum.insert(0, digits.size() - sum.size(), '0');
    Text out = text.Slice(0, static_cast<uint32_t>(first));
    out.AppendPlain(std::u16string(below ? u"-" : u""));
    out.AppendPlain(std::u16string(sum.begin(), sum.end()));
    out.Append(text, static_cast<uint32_t>(last + 1));
    result.SetText(out);
    return kCalcOK;
}

Text withoutStyles(const Text &text)
{
    return Text(text.Chars());
}

// GetAsURLEncoded: the text, without styles, as UTF-8 with every byte but ASCII letters, digits and the marks
// URLs keep (: - _ . ! ~ * ' ( )) written %hh, as FileMaker writes them, in lower case.
Text urlEncoded(const Text &text)
{
    static const char kHex[] = "0123456789abcdef";
    std::u16string out;
    for (unsigned char byte : Utf16ToUtf8(text.Chars()))
    {
        bool kept = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                    std::strchr(":-_.!~*'()", byte) != nullptr;
        if (kept && byte != 0)
            out += static_cast<char16_t>(byte);
        else
        {
            out += u'%';
            out += static_cast<char16_t>(kHex[byte >> 4]);
            out += static_cast<char16_t>(kHex[byte & 15]);
        }
    }
    return Text(std::move(out));
}

const BuiltinRegistration registration({
    {"Length", 1, 1, &length},
    {"Char", 1, 1, &charFunction},
    {"Code", 1, 1, &codeFunction},
    {"Left", 2, 2, &left},
    {"Right", 2, 2, &right},
    {"Middle", 3, 3, &middle},
    {"Position", 4, 4, &position},
    {"PatternCount", 2, 2, &patternCount},
    {"Substitute", 2, -1, &substitute},
    {"Replace", 4, 4, &replace},
    {"Trim", 1, 1, &textToText<&trimmed>},
    {"GetAsURLEncoded", 1, 1, &textToText<&urlEncoded>},
    {"TrimAll", 3, 3, &trimAll},
    {"Upper", 1, 1, &textToText<&changedCase<&Text::Uppercase>>},
    {"Lower", 1, 1, &textToText<&changedCase<&Text::Lowercase>>},
    {"Proper", 1, 1, &textToText<&properCase>},
    {"Exact", 2, 2, &exact},
    {"Filter", 2, 2, &filter},
    {"WordCount", 1, 1, &wordCount},
    {"LeftWords", 2, 2, &leftWords},
    {"RightWords", 2, 2, &rightWords},
    {"MiddleWords", 3, 3, &middleWords},
    {"Quote", 1, 1, &textToText<&quoted>},
    {"SerialIncrement", 2, 2, &serialIncrement},
    {"TextFormatRemove", 1, 1, &textToText<&withoutStyles>},
});
} // namespace
} // namespace emu::calc
