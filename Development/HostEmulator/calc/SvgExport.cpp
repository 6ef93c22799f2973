// GetAsSVG: styled text in FileMaker's SVG export form, a list of the styles of the text's runs, then the text
// with each run in a span that names its style:
//
//     <stylelist>
//     <style#0>"font-family: 'Helvetica';font-size: 12px;color: #FF0000;font-weight: bold;text-align: left;", Begin: 1, End: 5</style>
//     </stylelist>
//     <data>
//     <span style="0">Frank</span>
//     </data>
//
// A run is a stretch of one character style within one paragraph alignment; Begin and End count its first and last
// characters from 1. Every style states its paragraph's alignment (left by default). Lines end with a carriage
// return; the text itself is kept as it is, carriage returns included, with &, <, > and " written as entities.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/FunctionSupport.h"
#include "calc/StyleCss.h"

#include <string>

namespace emu::calc
{
namespace
{
// Text as the CSS export writes it, but with quotation marks as entities and carriage returns kept.
void appendEntities(std::u16string &out, std::u16string_view chars)
{
    for (char16_t c : chars)
        if (c == u'"')
            out += u"&quot;";
        else if (c == u'\r')
            out += c;
        else
            appendEscaped(out, c);
}

short getAsSvg(Evaluator &evaluator, const Node &call, Value &result)
{
    Value scratch;
    const Text *source = nullptr;
    if (short code = textArgumentView(evaluator, call, 0, scratch, source))
        return code;
    const Text &text = *source;
    const std::u16string &chars = text.Chars();
    std::u16string styles = u"<stylelist>\r", data = u"<data>\r";
    int64_t number = 0, characters = 0;
    for (uint32_t start = 0; start < chars.size(); ++number)
    {
        const CharStyle style = text.StyleAt(start);
        const Align align = text.AlignmentAt(start);
        uint32_t end = start + 1;
        while (end < chars.size() && text.StyleAt(end).SameTraits(style) && text.AlignmentAt(end) == align)
            ++end;
        const char16_t *alignment = alignmentCss(align);
        std::u16string css = cssOf(style, u"");
        css += u"text-align: " + std::u16string(alignment ? alignment : u"left") + u";";
        const std::u16string id = decimalText(number);
        const int64_t first = characters + 1;
        for (uint32_t i = start; i < end; ++i)
            characters += !(i > 0 && isLowSurrogate(chars[i]) && isHighSurrogate(chars[i - 1]));
        styles += u"<style#" + id + u">\"";
        appendEntities(styles, css);
        styles += u"\", Begin: " + decimalText(first) + u", End: " + decimalText(characters) + u"</style>\r";
        data += u"<span style=\"" + id + u"\">";
        appendEntities(data, std::u16string_view(chars).substr(start, end - start));
        data += u"</span>\r";
        start = end;
    }
    result.TakeText(styles + u"</stylelist>\r" + data + u"</data>");
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"GetAsSVG", 1, 1, &getAsSvg},
});
} // namespace
} // namespace emu::calc
