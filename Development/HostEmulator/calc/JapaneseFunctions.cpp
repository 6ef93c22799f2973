// FileMaker's Japanese text functions: conversions between hiragana and katakana, between full-width (zenkaku)
// and half-width (hankaku) forms, and NumToJText. The tables follow Unicode's code charts: hiragana U+3041 to
// U+3096 and katakana U+30A1 to U+30F6 lie 0x60 apart, full-width ASCII U+FF01 to U+FF5E lies 0xFEE0 above
// U+0021 to U+007E, and half-width katakana (U+FF61 to U+FF9F) write a voiced kana as its base and a separate
// (semi-)voiced sound mark. Characters a conversion does not concern stay as they are, styles included.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"

#include <string>
#include <vector>

namespace emu::calc
{
namespace
{
constexpr char16_t kVoicedMark = 0xFF9E;        // half-width dakuten
constexpr char16_t kSemiVoicedMark = 0xFF9F;    // half-width handakuten

// The full-width forms of U+FF61 to U+FF9F, in order; the two sound marks become the spacing ones (U+309B, U+309C).
constexpr char16_t kFullOfHalfKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7,
    0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7,
    0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF,
    0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA,
    0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

bool isHalfKana(char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// The katakana that take a voiced sound mark, each followed in the chart by its voiced form; ウ, ワ and ヲ have
// theirs further on (ヴ, ヷ, ヺ).
char16_t voiced(char16_t kana)
{
    if ((kana >= 0x30AB && kana <= 0x30C1 && kana % 2 == 1) || kana == 0x30C4 || kana == 0x30C6 || kana == 0x30C8 ||
        (kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0))
        return static_cast<char16_t>(kana + 1);
    switch (kana)
    {
    case 0x30A6: return 0x30F4;
    case 0x30EF: return 0x30F7;
    case 0x30F2: return 0x30FA;
    default: return 0;
    }
}

// ハ, ヒ, フ, ヘ and ホ take the semi-voiced mark too: their form with it comes two after them.
char16_t semiVoiced(char16_t kana)
{
    return kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0 ? static_cast<char16_t>(kana + 2) : 0;
}

// A converted text: its characters and, for each, the source character whose style it takes.
struct cConverted
{
    std::u16string chars;
    std::vector<uint32_t> origin;

    void add(char16_t c, uint32_t from)
    {
        chars += c;
        origin.push_back(from);
    }
};

// The result text, each character styled as the source character it came from, paragraphs aligned as before.
Text styledLike(const Text &source, cConverted &&converted)
{
    const std::vector<uint32_t> origin = std::move(converted.origin);
    Text out(std::move(converted.chars));
    if (!source.Styled())
        return out;
    const uint32_t size = out.Size();
    for (uint32_t start = 0; start < size;)
    {
        const CharStyle style = source.StyleAt(origin[start]);
        uint32_t end = start + 1;
        while (end < size && source.StyleAt(origin[end]) == style)
            ++end;
        out.SetStyle(style, start, end - start);
        start = end;
    }
    for (uint32_t start = 0; start < size;)
    {
        uint32_t end = start;
        while (end < size && out.Chars()[end] != u'\r')
            ++end;
        out.SetAlignment(source.AlignmentAt(origin[start]), start, end - start + (end < size ? 1 : 0));
        start = end + 1;
    }
    return out;
}

// Full-width katakana of a half-width one at `i`, taking a following sound mark into it where the kana has a
// form with it; `i` comes out past what was read.
char16_t widenedKana(const std::u16string &chars, std::size_t &i)
{
    const char16_t full = kFullOfHalfKana[chars[i] - 0xFF61];
    ++i;
    if (i < chars.size() && (chars[i] == kVoicedMark || chars[i] == kSemiVoicedMark))
        if (const char16_t combined = chars[i] == kVoicedMark ? voiced(full) : semiVoiced(full))
        {
            ++i;
            return combined;
        }
    return full;
}

bool isHiragana(char16_t c) { return (c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E; }
bool isKatakana(char16_t c) { return (c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE; }

// Hiragana: full-width and half-width katakana become hiragana (ヷ and its relatives, which have none, stay).
void toHiragana(const std::u16string &chars, cConverted &out)
{
    for (std::size_t i = 0; i < chars.size();)
    {
        const auto from = static_cast<uint32_t>(i);
        const char16_t c = isHalfKana(chars[i]) ? widenedKana(chars, i) : chars[i++];
        out.add(isKatakana(c) ? static_cast<char16_t>(c - 0x60) : c, from);
    }
}

// Katakana: hiragana become full-width katakana.
void toKatakana(const std::u16string &chars, cConverted &out)
{
    for (std::size_t i = 0; i < chars.size(); ++i)
        out.add(isHiragana(chars[i]) ? static_cast<char16_t>(chars[i] + 0x60) : chars[i], static_cast<uint32_t>(i));
}

// KanaZenkaku: half-width katakana become full-width, a kana and its sound mark one character.
void toFullKana(const std::u16string &chars, cConverted &out)
{
    for (std::size_t i = 0; i < chars.size();)
    {
        const auto from = static_cast<uint32_t>(i);
        out.add(isHalfKana(chars[i]) ? widenedKana(chars, i) : chars[i++], from);
    }
}

// KanaHankaku: full-width katakana (and the punctuation half-width katakana have) become half-width; a voiced
// kana becomes its base and a sound mark. Kana without a half-width form (ヰ, ヱ, small ヮ, ヵ, ヶ) stay.
void toHalfKana(const std::u16string &chars, cConverted &out)
{
    // The half-width form of each full-width one, the reverse of the table, built once.
    static const std::u16string halfOf = [] {
        std::u16string table(0x100, u'\0');
        for (char16_t half = 0xFF61; half <= 0xFF9F; ++half)
            table[kFullOfHalfKana[half - 0xFF61] & 0xFF] = half;
        return table;
    }();
    const auto halfForm = [](char16_t c) -> char16_t {
        if ((c >= 0x30A1 && c <= 0x30FC) || c == 0x309B || c == 0x309C || (c >= 0x3001 && c <= 0x300D))
        {
            const char16_t half = halfOf[c & 0xFF];  // the low bytes of the table's characters differ
            return half && kFullOfHalfKana[half - 0xFF61] == c ? half : 0;
        }
        return c == 0x3099 ? kVoicedMark : c == 0x309A ? kSemiVoicedMark : 0;
    };
    for (std::size_t i = 0; i < chars.size(); ++i)
    {
        const char16_t c = chars[i];
        const auto from = static_cast<uint32_t>(i);
        if (const char16_t half = halfForm(c))
        {
            out.add(half, from);
            continue;
        }
        // A voiced or semi-voiced kana: the kana before it in the chart (or ウ, ワ, ヲ) with the mark.
        bool split = false;
        if (c >= 0x30AC && c <= 0x30FA)
            for (char16_t base : {char16_t(c - 1), char16_t(c - 2), char16_t(0x30A6), char16_t(0x30EF), char16_t(0x30F2)})
            {
                const bool withVoiced = voiced(base) == c;
                const char16_t half = withVoiced || semiVoiced(base) == c ? halfForm(base) : 0;
                if (!half)
                    continue;
                out.add(half, from);
                out.add(withVoiced ? kVoicedMark : kSemiVoicedMark, from);
                split = true;
                break;
            }
        if (!split)
            out.add(c, from);
    }
}

// RomanZenkaku and RomanHankaku: ASCII letters, digits and symbols to their full-width forms and back; the space
// becomes the ideographic space (U+3000) and back.
template <bool ToFull>
void romanWidth(const std::u16string &chars, cConverted &out)
{
    for (std::size_t i = 0; i < chars.size(); ++i)
    {
        char16_t c = chars[i];
        if (ToFull)
            c = c == u' ' ? char16_t(0x3000) : c >= 0x21 && c <= 0x7E ? static_cast<char16_t>(c + 0xFEE0) : c;
        else
            c = c == 0x3000 ? u' ' : c >= 0xFF01 && c <= 0xFF5E ? static_cast<char16_t>(c - 0xFEE0) : c;
        out.add(c, static_cast<uint32_t>(i));
    }
}

template <void (*Convert)(const std::u16string &, cConverted &)>
short converted(Evaluator &evaluator, const Node &call, Value &result)
{
    Value scratch;
    const Text *source = nullptr;
    if (short code = textArgumentView(evaluator, call, 0, scratch, source))
        return code;
    const Text &text = *source;
    cConverted out;
    out.chars.reserve(text.Size());
    out.origin.reserve(text.Size());
    Convert(text.Chars(), out);
    result.SetText(styledLike(text, std::move(out)));
    return kCalcOK;
}

// NumToJText's digit sets: half-width, full-width, kanji and the traditional kanji of documents and cheques.
constexpr const char16_t *kDigits[] = {u"0123456789", u"０１２３４５６７８９", u"〇一二三四五六七八九",
                                       u"〇壱弐参四伍六七八九"};
// Units of ten, hundred and thousand within a group of four digits, and the group units 万, 億, 兆, 京.
constexpr const char16_t *kSmallUnits[] = {u"十百千", u"十百千", u"十百千", u"拾百阡"};
constexpr const char16_t *kGroupUnits[] = {u"万億兆京", u"万億兆京", u"万億兆京", u"萬億兆京"};

// A group of four digits (value 1 to 9999) with 十, 百 and 千 after its digits; in kanji a one before them is not
// written (千 rather than 一千), in the other sets it is.
std::u16string withSmallUnits(const std::u16string &group, int type)
{
    std::u16string out;
    for (std::size_t i = 0; i < group.size(); ++i)
    {
        const int digit = group[i] - u'0';
        const std::size_t place = group.size() - 1 - i;  // 0 units, 1 tens ...
        if (digit == 0)
            continue;
        if (!(digit == 1 && place > 0 && type == 2))
            out += kDigits[type][digit];
        if (place > 0)
            out += kSmallUnits[type][place - 1];
    }
    return out;
}

std::u16string inDigitSet(const std::u16string &digits, int type)
{
    std::u16string out;
    for (char16_t d : digits)
        out += kDigits[type][d - u'0'];
    return out;
}

// The whole part of a number in the separator's form: none, commas every three digits, 万 and 億 after groups of
// four, or every unit written.
std::u16string wholeInJapanese(const std::u16string &digits, int separator, int type)
{
    // Beyond the last group unit (京, 10^16) the units would not say the number: such numbers stay plain digits.
    if (separator >= 2 && digits.size() > 20)
        separator = 0;
    if (separator == 0 || digits == u"0")
        return inDigitSet(digits, type);
    if (separator == 1)
    {
        std::u16string out;
        for (std::size_t i = 0; i < digits.size(); ++i)
        {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                out += type == 0 ? u',' : u'，';
            out += kDigits[type][digits[i] - u'0'];
        }
        return out;
    }
    std::u16string out;
    const std::size_t groups = (digits.size() + 3) / 4;
    for (std::size_t g = 0; g < groups; ++g)
    {
        const std::size_t end = digits.size() - (groups - 1 - g) * 4;
        const std::size_t begin = end >= 4 ? end - 4 : 0;
        std::u16string group = digits.substr(begin, end - begin);
        group.erase(0, std::min(group.find_first_not_of(u'0'), group.size()));
        if (group.empty())
            continue;
        out += separator == 2 ? inDigitSet(group, type) : withSmallUnits(group, type);
        const std::size_t unit = groups - 1 - g;  // 0 none, 1 万, 2 億 ...
        if (unit > 0)
            out += kGroupUnits[type][unit - 1];
    }
    return out;
}

// NumToJText ( number ; separator ; characterType ): a separator or type that is empty or not 0 to 3 reads as 0.
// A negative number keeps its minus sign, a fraction its digits after a decimal point, in the type's width.
short numToJText(Evaluator &evaluator, const Node &call, Value &result)
{
    Value number, separatorValue, typeValue;
    if (short code = arguments(evaluator, call, 0, number, separatorValue, typeValue))
        return code;
    if (number.IsEmpty() || number.AsText().Empty())
    {
        result.SetText(u"");
        return kCalcOK;
    }
    const auto option = [](const Value &value) {
        const int64_t n = value.IsEmpty() ? 0 : wholeNumber(numberOf(value));
        return n >= 0 && n <= 3 ? static_cast<int>(n) : 0;
    };
    const int separator = option(separatorValue), type = option(typeValue);
    std::u16string text = numberOf(number).ToText();
    std::u16string out;
    if (!text.empty() && text[0] == u'-')
    {
        out += type == 0 ? u'-' : u'－';
        text.erase(0, 1);
    }
    const std::size_t point = text.find(u'.');
    const std::u16string whole = text.substr(0, point);
    out += wholeInJapanese(whole.empty() ? u"0" : whole, separator, type);
    if (point != std::u16string::npos)
        out += (type == 0 ? u"." : u"．") + inDigitSet(text.substr(point + 1), type);
    result.TakeText(std::move(out));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Hiragana", 1, 1, &converted<&toHiragana>},
    {"Katakana", 1, 1, &converted<&toKatakana>},
    {"KanaHankaku", 1, 1, &converted<&toHalfKana>},
    {"KanaZenkaku", 1, 1, &converted<&toFullKana>},
    {"RomanHankaku", 1, 1, &converted<&romanWidth<false>>},
    {"RomanZenkaku", 1, 1, &converted<&romanWidth<true>>},
    {"NumToJText", 3, 3, &numToJText},
});
} // namespace
} // namespace emu::calc
