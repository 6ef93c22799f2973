#include "html/VariableMode.h"

#include <algorithm>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXText.h"
#include "html/HostText.h"
#include "host/TextConversion.h"

namespace vtl::html
{
namespace
{
constexpr std::uint16_t kCarriageReturn = 13;
constexpr std::uint16_t kLineSeparator = 0x2028;

bool isNameUnit(std::uint16_t unit)
{
    if (unit < 0x80)
        return (unit >= 'a' && unit <= 'z') || (unit >= 'A' && unit <= 'Z') || (unit >= '0' && unit <= '9') ||
               unit == '_' || unit == '.';
    // Letters beyond ASCII are fine; the spaces, breaks and operators of the calculation language are not.
    static const std::uint16_t kExcluded[] = {0x00A0, 0x00B6, 0x2028, 0x2029, 0x2260, 0x2264, 0x2265, 0x3000, 0xFEFF};
    return std::find(std::begin(kExcluded), std::end(kExcluded), unit) == std::end(kExcluded);
}
} // namespace

std::string evaluateOnFM(const std::string &prefix, const fmx::Text &text, const std::string &suffix,
                         const fmx::ExprEnv &env, fmx::Text &resultText)
{
    fmx::TextUniquePtr calculation;
    appendNarrow(*calculation, prefix);
    calculation->AppendText(text);
    appendNarrow(*calculation, suffix);
    fmx::DataUniquePtr value;
    env.Evaluate(*calculation, *value);
    resultText.SetText(value->GetAsText());
    return StringFromFmText(resultText);
}

std::vector<std::uint16_t> getLineEndings(const fmx::Text &source, const fmx::ExprEnv &env)
{
    fmx::TextUniquePtr content;
    evaluateOnFM("", source, "", env, *content);
    return lineEndingsOf(unitsOf(*content, 0, content->GetSize()));
}

std::vector<std::uint16_t> lineEndingsOf(const std::vector<std::uint16_t> &units)
{
    std::vector<std::uint16_t> endings;
    for (const cLine &line : linesOf(units))
        endings.push_back(line.ending);
    return endings;
}

std::vector<std::string> getLineAligns(const fmx::Text &source, const fmx::ExprEnv &env)
{
    fmx::TextUniquePtr content;
    evaluateOnFM("", source, "", env, *content);
    return getLineAligns(source, unitsOf(*content, 0, content->GetSize()), env);
}

std::vector<std::string> getLineAligns(const fmx::Text &source, const std::vector<std::uint16_t> &content,
                                       const fmx::ExprEnv &env)
{
    fmx::TextUniquePtr scratch;
    const int count = std::stoi(evaluateOnFM("ValueCount(", source, ")", env, *scratch));
    if (count <= 0)
        return {};
    // Asking for one value costs the host the whole text, so the first line of each paragraph reads its
    // alignment from one export of the whole content, which opens each paragraph with its alignment and writes a
    // break between paragraphs. When the export shows another number of paragraphs, every value is asked.
    const std::vector<cLine> lines = linesOf(content);
    std::vector<std::string> paragraphs = exportParagraphs(evaluateOnFM("GetAsCSS(", source, ")", env, *scratch));
    const auto breaks = std::count(content.begin(), content.end(), kCarriageReturn);
    if (paragraphs.size() != static_cast<std::size_t>(breaks) + 1)
        paragraphs.clear();

    std::vector<std::string> aligns;
    aligns.reserve(static_cast<std::size_t>(count));
    std::size_t paragraph = 0;
    for (int n = 1; n <= count; ++n)
    {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        const bool known = i < lines.size();
        const bool paragraphStart = i == 0 || (known && lines[i - 1].ending == kCarriageReturn);
        if (known && i > 0 && paragraphStart)
            ++paragraph;
        if (known && lines[i].begin == lines[i].end)
            aligns.push_back("left");   // an empty value's export is empty
        else if (known && paragraphStart && !paragraphs.empty())
            aligns.push_back(parseAlignmentFromGetAsCSS(paragraphs[paragraph]));
        else   // a line after a line separator may have an alignment of its own
            aligns.push_back(parseAlignmentFromGetAsCSS(
                evaluateOnFM("GetAsCSS(GetValue(", source, ";" + std::to_string(n) + "))", env, *scratch)));
    }
    return aligns;
}

std::vector<cLine> linesOf(const std::vector<std::uint16_t> &units)
{
    std::vector<cLine> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        if (units[i] == kCarriageReturn || units[i] == kLineSeparator)
        {
            lines.push_back({begin, i, units[i]});
            begin = i + 1;
        }
    }
    if (begin < units.size())
        lines.push_back({begin, units.size(), 0});
    return lines;
}

std::vector<std::string> exportParagraphs(const std::string &css)
{
    std::vector<std::string> parts;
    std::string::size_type from = 0;
    for (std::string::size_type at = css.find('<'); at != std::string::npos; at = css.find('<', at + 1))
    {
        const std::string::size_type close = css.find('>', at);
        if (close == std::string::npos)
            break;
        std::string tag = css.substr(at + 1, close - at - 1);
        tag.erase(std::remove_if(tag.begin(), tag.end(), [](char c) { return c == ' ' || c == '/'; }), tag.end());
        if (tag.size() != 2 || (tag[0] != 'b' && tag[0] != 'B') || (tag[1] != 'r' && tag[1] != 'R'))
            continue;
        parts.push_back(css.substr(from, at - from));
        from = close + 1;
        at = close;
    }
    parts.push_back(css.substr(from));
    return parts;
}

std::string parseAlignmentFromGetAsCSS(const std::string &css)
{
    const std::string::size_type tagEnd = css.find('>');
    if (tagEnd == std::string::npos)
        return "left";
    const std::string firstTag = css.substr(0, tagEnd);
    const std::string::size_type name = firstTag.find("text-align");
    if (name == std::string::npos)
        return "left";
    std::string value = firstTag.substr(name + 11);   // past the name and its ":"
    value = value.substr(0, value.find('"'));
    value = value.substr(0, value.find(';'));
    for (const char *alignment : {"left", "center", "right", "full"})
        if (value.find(alignment) != std::string::npos)
            return alignment;
    // CSS names full justification "justify", which is what the host's export writes.
    return value.find("justify") != std::string::npos ? "full" : "left";
}

std::vector<bool> determineParagraphEnds(const std::vector<std::uint16_t> &lineEndings,
                                         const std::vector<std::string> &lineAligns)
{
    std::vector<bool> ends(std::max(lineEndings.size(), lineAligns.size()), false);
    for (std::size_t j = 0; j < lineEndings.size(); ++j)
        if (lineEndings[j] == kCarriageReturn)
            ends[j] = true;
    for (std::size_t k = 0; k + 1 < lineAligns.size(); ++k)
        if (lineAligns[k + 1] != lineAligns[k])
            ends[k] = true;
    return ends;
}

bool isVariableName(const fmx::Text &source)
{
    const std::uint32_t size = source.GetSize();
    if (size == 0 || unitsOf(source, 0, 1).front() != '$')
        return false;
    const std::vector<std::uint16_t> units = unitsOf(source, 0, size);
    std::size_t dollars = 0;
    while (dollars < units.size() && dollars < 2 && units[dollars] == '$')
        ++dollars;
    if (dollars == 0 || dollars == units.size())
        return false;
    return std::all_of(units.begin() + static_cast<std::ptrdiff_t>(dollars), units.end(), isNameUnit);
}
} // namespace vtl::html
