// Styled-text functions: TextStyleAdd, TextColor with RGB, TextFont, TextSize, the emulator's own
// EmulatorTextAlign (FileMaker sets paragraph alignment only in its layouts), and GetAsCSS.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"
#include "calc/StyleCss.h"
#include "core/Styles.h"
#include "core/Text.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace emu::calc
{
namespace
{
struct cStyleName
{
    const char16_t *name;   // lower case
    uint16_t face;
};

constexpr uint16_t kAllFaces = 0x77FF;

// FileMaker's style names and the face bits they set; "plain" alone clears them all.
const cStyleName kStyleNames[] = {
    {u"plain", 0},
    {u"allstyles", kAllFaces},
    {u"bold", 0x0100},
    {u"italic", 0x0200},
    {u"underline", 0x0400},
    {u"highlightyellow", 0x1000},
    {u"condense", 0x2000},
    {u"extend", 0x4000},
    {u"strikethrough", 0x0001},
    {u"smallcaps", 0x0002},
    {u"superscript", 0x0004},
    {u"subscript", 0x0008},
    {u"uppercase", 0x0010},
    {u"lowercase", 0x0020},
    {u"titlecase", 0x0030},
    {u"wordunderline", 0x0040},
    {u"doubleunderline", 0x0080},
};

struct cFaces
{
    uint16_t add = 0;
    bool plain = false;
};

const cStyleName *styleNamed(const std::u16string &name)
{
    const std::u16string folded = ToLowerCopy(name);
    for (const cStyleName &style : kStyleNames)
        if (folded == style.name)
            return &style;
    return nullptr;
}

// Reads "Bold + Italic ..." from the argument's tree: style names joined by "+". Any other part is evaluated
// and read as the number of its styles, so that a Let variable can hold them (TitleStyle = SmallCaps + Titlecase).
short readStyles(Evaluator &evaluator, const Node &node, cFaces &faces)
{
    if (node.kind == NodeKind::Binary && node.op == BinaryOp::Add)
    {
        if (short code = readStyles(evaluator, *node.args[0], faces))
            return code;
        return readStyles(evaluator, *node.args[1], faces);
    }
    const bool bareName = node.kind == NodeKind::Name || (node.kind == NodeKind::Call && node.args.empty() &&
                                                          !node.hasParentheses);
    if (const cStyleName *style = bareName ? styleNamed(node.text) : nullptr)
    {
        faces.add |= style->face;
        faces.plain = faces.plain || style->face == 0;
        return kCalcOK;
    }
    if (node.kind == NodeKind::Name)
        return evaluator.fail(kFieldMissing, node, "not a text style name");
    Value value;
    if (short code = evaluator.evaluate(node, value))
        return code;
    Number read;
    const bool numeric = value.Type() != kDTText || Number::FromText(value.AsText().Chars(), read);
    const int64_t number = numberOf(value).Floor().ToInt64();
    if (!numeric || number < 0 || (number & ~int64_t(kAllFaces)) != 0)
        return evaluator.fail(kFieldMissing, node, "not a text style");
    faces.add |= static_cast<uint16_t>(number);
    faces.plain = faces.plain || number == 0;
    return kCalcOK;
}

// A style name outside TextStyleAdd and TextStyleRemove: the number of its styles.
short styleConstant(Evaluator &, const Node &call, Value &result)
{
    const cStyleName *style = styleNamed(call.text);
    setNumber(result, Number::FromInt(style ? style->face : 0));
    return kCalcOK;
}

// Changes the style of every character, one run of equal styles at a time.
void restyle(Text &text, const std::function<void(CharStyle &)> &change)
{
    const uint32_t size = text.Size();
    uint32_t runStart = 0;
    CharStyle run;
    for (uint32_t i = 0; i < size; ++i)
    {
        CharStyle style = text.StyleAt(i);
        change(style);
        if (i > 0 && style != run)
        {
            text.SetStyle(run, runStart, i - runStart);
            runStart = i;
        }
        run = style;
    }
    if (size > 0)
        text.SetStyle(run, runStart, size - runStart);
}

// Evaluates the text argument and the setting that follows it.
short evaluateTextAndSetting(Evaluator &evaluator, const Node &call, Value &source, Value &setting)
{
    if (short code = evaluator.evaluate(*call.args[0], source))
        return code;
    return evaluator.evaluate(*call.args[1], setting);
}

// Evaluates the text argument and the second argument, changes the text's styles, and answers the text.
short styledResult(Evaluator &evaluator, const Node &call, Value &result,
                   const std::function<short(const Value &, std::function<void(CharStyle &)> &)> &makeChange)
{
    Value source, setting;
    if (short code = evaluateTextAndSetting(evaluator, call, source, setting))
        return code;
    std::function<void(CharStyle &)> change;
    if (short code = makeChange(setting, change))
        return code;
    Text text = source.AsText();
    restyle(text, change);
    result.SetText(text);
    return kCalcOK;
}

int64_t wholeNumber(const Value &value)
{
    return numberOf(value).Floor().ToInt64();
}

// TextStyleAdd and TextStyleRemove. Plain alone takes every style away (for removal too); beside other styles it
// is ignored, as FileMaker's help states.
template <bool Add>
short textStyleChange(Evaluator &evaluator, const Node &call, Value &result)
{
    cFaces faces;
    if (short code = readStyles(evaluator, *call.args[1], faces))
        return code;
    Value source;
    if (short code = evaluator.evaluate(*call.args[0], source))
        return code;
    Text text = source.AsText();
    const bool plainOnly = faces.plain && faces.add == 0;
    restyle(text, [&faces, plainOnly](CharStyle &style) {
        uint16_t kept = plainOnly ? 0 : style.face;
        style.face = static_cast<uint16_t>(Add ? kept | faces.add : kept & ~faces.add);
    });
    result.SetText(text);
    return kCalcOK;
}

short rgb(Evaluator &evaluator, const Node &call, Value &result)
{
    int64_t number = 0;
    for (std::size_t i = 0; i < 3; ++i)
    {
        Value channel;
        if (short code = evaluator.evaluate(*call.args[i], channel))
            return code;
        number = number * 256 + std::clamp<int64_t>(wholeNumber(channel), 0, 255);
    }
    setNumber(result, Number::FromInt(number));
    return kCalcOK;
}

short textColor(Evaluator &evaluator, const Node &call, Value &result)
{
    return styledResult(evaluator, call, result, [](const Value &setting, std::function<void(CharStyle &)> &change) {
        const int64_t number = std::clamp<int64_t>(wholeNumber(setting), 0, 0xFFFFFF);
        Color color;
        color.red = static_cast<uint8_t>(number >> 16);
        color.green = static_cast<uint8_t>(number >> 8);
        color.blue = static_cast<uint8_t>(number);
        change = [color](CharStyle &style) {
            style.color = color;
            style.enabled |= CharStyle::kColor;
        };
        return short(kCalcOK);
    });
}

short textFont(Evaluator &evaluator, const Node &call, Value &result)
{
    return styledResult(evaluator, call, result, [](const Value &setting, std::function<void(CharStyle &)> &change) {
        const std::u16string &name = setting.AsText().Chars();
        const uint16_t id = name.empty() ? 0xFFFF : FontIdFor(name);
        change = [id](CharStyle &style) {
            if (id == 0xFFFF)
            {
                style.enabled &= static_cast<uint8_t>(~CharStyle::kFont);
                return;
            }
            style.font = id;
            style.enabled |= CharStyle::kFont;
        };
        return short(kCalcOK);
    });
}

short textSize(Evaluator &evaluator, const Node &call, Value &result)
{
    return styledResult(evaluator, call, result, [](const Value &setting, std::function<void(CharStyle &)> &change) {
        const int64_t size = std::min<int64_t>(wholeNumber(setting), 0xFFFF);
        change = [size](CharStyle &style) {
            if (size <= 0)
            {
                style.enabled &= static_cast<uint8_t>(~CharStyle::kSize);
                return;
            }
            style.size = static_cast<uint16_t>(size);
            style.enabled |= CharStyle::kSize;
        };
        return short(kCalcOK);
    });
}

// TextColorRemove, TextFontRemove and TextSizeRemove: without a second argument the trait goes from every
// character; with one, only from the characters that carry that colour, font or size.
template <uint8_t Trait>
short traitRemove(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source, setting;
    if (short code = argument(evaluator, call, 0, source))
        return code;
    bool all = call.args.size() < 2;
    if (!all)
        if (short code = argument(evaluator, call, 1, setting))
            return code;
    const int64_t number = all ? 0 : wholeNumber(setting);
    const uint16_t font = Trait == CharStyle::kFont && !all ? FontIdFor(setting.AsText().Chars()) : 0;
    Text text = source.AsText();
    restyle(text, [&](CharStyle &style) {
        if (!(style.enabled & Trait))
            return;
        bool matches = all;
        if (Trait == CharStyle::kColor)
            matches = matches || ((int64_t(style.color.red) << 16) | (style.color.green << 8) | style.color.blue) == number;
        if (Trait == CharStyle::kFont)
            matches = matches || style.font == font;
        if (Trait == CharStyle::kSize)
            matches = matches || style.size == number;
        if (matches)
            style.enabled &= static_cast<uint8_t>(~Trait);
    });
    result.SetText(text);
    return kCalcOK;
}

// EmulatorTextAlign ( text ; "left" | "center" | "right" | "justify" (or "full") | "" ): sets the alignment of
// every paragraph of the text; "" returns them to the layout's default.
short emulatorTextAlign(Evaluator &evaluator, const Node &call, Value &result)
{
    Value source, setting;
    if (short code = evaluateTextAndSetting(evaluator, call, source, setting))
        return code;
    const std::u16string word = ToLowerCopy(setting.AsText().Chars());
    Align align;
    if (word.empty() || word == u"default")
        align = Align::Default;
    else if (word == u"left")
        align = Align::Left;
    else if (word == u"center" || word == u"centre")
        align = Align::Center;
    else if (word == u"right")
        align = Align::Right;
    else if (word == u"justify" || word == u"full")
        align = Align::Justify;
    else
        return evaluator.fail(kCalcGeneric, *call.args[1], "alignment must be left, center, right or justify");
    Text text = source.AsText();
    text.SetAlignment(align);
    result.SetText(text);
    return kCalcOK;
}

// A font name inside a quoted CSS string, which both exports put between double quotes (the CSS export's STYLE
// attribute, the SVG export's style list). Only letters, digits, blanks and characters beyond ASCII stand as they
// are; every other character is a CSS escape (a backslash, hex digits and a space, the same character to CSS), so
// that no font name can end the string or the quotes around it, open a tag or an entity, or spell a declaration
// ("text-align: right" becomes "text\2D align\3A  right").
void appendCssStringText(std::u16string &css, const std::u16string &text)
{
    for (char16_t c : text)
    {
        const bool plain = c >= 0x80 || c == u' ' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'a' && c <= u'z');
        if (plain)
        {
            css += c;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%X ", static_cast<unsigned>(c));
        css.append(escape, escape + std::char_traits<char>::length(escape));
    }
}

} // namespace

std::u16string cssOf(const CharStyle &style, const char16_t *separator)
{
    std::u16string css;
    auto add = [&css, separator](const std::string &ascii) {
        if (!css.empty())
            css += separator;
        css.append(ascii.begin(), ascii.end());
    };
    const uint16_t face = style.face;
    std::u16string fontName;
    if ((style.enabled & CharStyle::kFont) && FontNameFor(style.font, fontName))
    {
        add("font-family: '");
        appendCssStringText(css, fontName);
        css += u"';";
    }
    if (style.enabled & CharStyle::kSize)
        add("font-size: " + std::to_string(style.size) + "px;");
    if (style.enabled & CharStyle::kColor)
    {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02X%02X%02X", style.color.red, style.color.green, style.color.blue);
        add(std::string("color: ") + hex + ";");
    }
    if (face & 0x0100)
        add("font-weight: bold;");
    if (face & 0x0200)
        add("font-style: italic;");
    if (face & (0x0400 | 0x0040 | 0x0080))
        add("text-decoration: underline;");
    if (face & 0x0001)
        add("text-decoration: line-through;");
    if (face & 0x1000)
        add("background-color: #FFFF00;");
    if (face & 0x0002)
        add("font-variant: small-caps;");
    if (face & 0x0004)
        add("vertical-align: super;");
    else if (face & 0x0008)
        add("vertical-align: sub;");
    if ((face & 0x0030) == 0x0030)
        add("text-transform: capitalize;");
    else if (face & 0x0010)
        add("text-transform: uppercase;");
    else if (face & 0x0020)
        add("text-transform: lowercase;");
    return css;
}

namespace
{
} // namespace

void appendEscaped(std::u16string &out, char16_t c)
{
    switch (c)
    {
    case u'&': out += u"&amp;"; break;
    case u'<': out += u"&lt;"; break;
    case u'>': out += u"&gt;"; break;
    case u'\r': out += u"<BR>"; break;
    default: out += c;
    }
}

const char16_t *alignmentCss(Align align)
{
    switch (align)
    {
    case Align::Left: return u"left";
    case Align::Center: return u"center";
    case Align::Right: return u"right";
    case Align::Justify: return u"justify";
    default: return nullptr;
    }
}

namespace
{
// The host's CSS export: each paragraph with an alignment is wrapped in a SPAN carrying its text-align (so the
// first start tag holds the first paragraph's alignment); each run of one style is a SPAN with that style.
short getAsCss(Evaluator &evaluator, const Node &call, Value &result)
{
    Value scratch;
    const Text *source = nullptr;
    if (short code = textArgumentView(evaluator, call, 0, scratch, source))
        return code;
    const Text &text = *source;
    const std::u16string &chars = text.Chars();
    std::u16string out;
    std::size_t paragraphStart = 0;
    while (paragraphStart <= chars.size())
    {
        std::size_t paragraphEnd = chars.find(u'\r', paragraphStart);
        if (paragraphEnd == std::u16string::npos)
            paragraphEnd = chars.size();
        const char16_t *align = paragraphStart < chars.size()
                                    ? alignmentCss(text.AlignmentAt(static_cast<uint32_t>(paragraphStart)))
                                    : nullptr;
        if (align)
            out += u"<SPAN STYLE= \"text-align: " + std::u16string(align) + u";\" >";
        for (std::size_t i = paragraphStart; i < paragraphEnd;)
        {
            const CharStyle style = text.StyleAt(static_cast<uint32_t>(i));
            std::size_t end = i + 1;
            while (end < paragraphEnd && text.StyleAt(static_cast<uint32_t>(end)).SameTraits(style))
                ++end;
            const std::u16string css = cssOf(style);
            if (!css.empty())
                out += u"<SPAN STYLE= \"" + css + u"\" >";
            for (; i < end; ++i)
                appendEscaped(out, chars[i]);
            if (!css.empty())
                out += u"</SPAN>";
        }
        if (align)
            out += u"</SPAN>";
        if (paragraphEnd == chars.size())
            break;
        out += u"<BR>";
        paragraphStart = paragraphEnd + 1;
    }
    result.TakeText(std::move(out));
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"TextStyleAdd", 2, 2, &textStyleChange<true>},
    {"RGB", 3, 3, &rgb},
    {"TextColor", 2, 2, &textColor},
    {"TextFont", 2, 3, &textFont},
    {"TextSize", 2, 2, &textSize},
    {"TextStyleRemove", 2, 2, &textStyleChange<false>},
    {"TextColorRemove", 1, 2, &traitRemove<CharStyle::kColor>},
    {"TextFontRemove", 1, 3, &traitRemove<CharStyle::kFont>},
    {"TextSizeRemove", 1, 2, &traitRemove<CharStyle::kSize>},
    {"EmulatorTextAlign", 2, 2, &emulatorTextAlign},
    {"GetAsCSS", 1, 1, &getAsCss},
    // The style names as values. Extend stays FileMaker's function of that name (TextStyleAdd still reads it).
    {"Plain", 0, 0, &styleConstant},
    {"AllStyles", 0, 0, &styleConstant},
    {"Bold", 0, 0, &styleConstant},
    {"Italic", 0, 0, &styleConstant},
    {"Underline", 0, 0, &styleConstant},
    {"HighlightYellow", 0, 0, &styleConstant},
    {"Condense", 0, 0, &styleConstant},
    {"Strikethrough", 0, 0, &styleConstant},
    {"SmallCaps", 0, 0, &styleConstant},
    {"Superscript", 0, 0, &styleConstant},
    {"Subscript", 0, 0, &styleConstant},
    {"Uppercase", 0, 0, &styleConstant},
    {"Lowercase", 0, 0, &styleConstant},
    {"Titlecase", 0, 0, &styleConstant},
    {"WordUnderline", 0, 0, &styleConstant},
    {"DoubleUnderline", 0, 0, &styleConstant},
});
} // namespace
} // namespace emu::calc
