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
    const std::vector<std::uint16_t> units = unitsOf(*content, 0, content->GetSize());
    std::vector<std::uint16_t> endings;
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        if (units[i] == kCarriageReturn || units[i] == kLineSeparator)
            endings.push_back(units[i]);
        else if (i + 1 == units.size())
            endings.push_back(0);
    }
    return endings;
}

std::vector<std::string> getLineAligns(const fmx::Text &source, const fmx::ExprEnv &env)
{
    fmx::TextUniquePtr scratch;
    const int count = std::stoi(evaluateOnFM("ValueCount(", source, ")", env, *scratch));
    std::vector<std::string> aligns;
    for (int n = 1; n <= count; ++n)
        aligns.push_back(parseAlignmentFromGetAsCSS(
            evaluateOnFM("GetAsCSS(GetValue(", source, ";" + std::to_string(n) + "))", env, *scratch)));
    return aligns;
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
    return "left";
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
