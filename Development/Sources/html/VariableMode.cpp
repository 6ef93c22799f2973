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
// A window of a host text's units, read a block at a time, so that scanning a long text needs no copy of it.
class cUnitWindow
{
public:
    explicit cUnitWindow(const fmx::Text &text) : text_(text), size_(text.GetSize()) {}

    std::uint32_t size() const { return size_; }
    std::uint16_t at(std::uint32_t position)
    {
        if (position < start_ || position - start_ >= block_.size())
        {
            start_ = position;
            block_.resize(std::min<std::uint32_t>(kBlock, size_ - position));
            text_.GetUnicode(block_.data(), position, static_cast<std::uint32_t>(block_.size()));
        }
        return block_[position - start_];
    }

private:
    static constexpr std::uint32_t kBlock = 1u << 16;
    const fmx::Text &text_;
    const std::uint32_t size_;
    std::uint32_t start_ = 0;
    std::vector<std::uint16_t> block_;
};

// For a '<' at `at`: the position of the '>' that closes a break tag ("br" in any case, spaces and '/' aside),
// or 0 when the tag there is no break.
std::uint32_t breakTagEnd(cUnitWindow &units, std::uint32_t at)
{
    std::string name;
    for (std::uint32_t i = at + 1; i < units.size() && name.size() <= 2; ++i)
    {
        const std::uint16_t unit = units.at(i);
        if (unit == '>')
            return name == "br" ? i : 0;
        if (unit != ' ' && unit != '/')
            name.push_back(unit < 0x80 ? static_cast<char>(unit | 0x20) : '\x7F');
    }
    return 0;
}
} // namespace

fmx::DataUniquePtr evaluateInHost(const std::string &prefix, const fmx::Text &text, const std::string &suffix,
                                  const fmx::ExprEnv &env)
{
    fmx::TextUniquePtr calculation;
    appendNarrow(*calculation, prefix);
    calculation->AppendText(text);
    appendNarrow(*calculation, suffix);
    fmx::DataUniquePtr value;
    env.Evaluate(*calculation, *value);
    return value;
}

std::string evaluateOnFM(const std::string &prefix, const fmx::Text &text, const std::string &suffix,
                         const fmx::ExprEnv &env)
{
    return StringFromFmText(evaluateInHost(prefix, text, suffix, env)->GetAsText());
}

std::vector<std::uint16_t> lineEndingsOf(const std::vector<std::uint16_t> &units)
{
    std::vector<std::uint16_t> endings;
    for (const cLine &line : linesOf(units))
        endings.push_back(line.ending);
    return endings;
}

std::vector<std::string> getLineAligns(const fmx::Text &source, const std::vector<std::uint16_t> &content,
                                       const fmx::ExprEnv &env)
{
    const int count = std::stoi(evaluateOnFM("ValueCount(", source, ")", env));
    if (count <= 0)
        return {};
    // Asking for one value costs the host the whole text, so every line reads its alignment from one export.
    // The export opens each paragraph with its alignment and writes a break between paragraphs, but a line after
    // a line separator may be aligned on its own, which the export of the content would not show. Exported with
    // every line separator made a carriage return, each line is a paragraph that opens with its own alignment,
    // as the export of that value alone would. When the export shows another number of paragraphs, every value
    // is asked.
    const std::vector<cLine> lines = linesOf(content);
    std::vector<std::string> paragraphs =
        exportAlignments(evaluateInHost("GetAsCSS(Substitute(", source, ";Char(8232);Char(13)))", env)->GetAsText());
    const auto breaks = std::count_if(content.begin(), content.end(), [](std::uint16_t unit) {
        return unit == kCarriageReturn || unit == kLineSeparator;
    });
    if (paragraphs.size() != static_cast<std::size_t>(breaks) + 1)
        paragraphs.clear();

    std::vector<std::string> aligns;
    aligns.reserve(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n)
    {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        const bool known = i < lines.size();
        if (known && lines[i].begin == lines[i].end)
            aligns.push_back("left");   // an empty value's export is empty
        else if (known && !paragraphs.empty())
            aligns.push_back(paragraphs[i]);
        else
            aligns.push_back(parseAlignmentFromGetAsCSS(
                evaluateOnFM("GetAsCSS(GetValue(", source, ";" + std::to_string(n) + "))", env)));
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

std::vector<std::string> exportAlignments(const fmx::Text &css)
{
    cUnitWindow units(css);
    std::vector<std::string> aligns;
    std::string head;   // the paragraph up to its first '>', narrowed
    bool headDone = false;
    const auto endParagraph = [&]() {
        aligns.push_back(headDone ? parseAlignmentFromGetAsCSS(head + '>') : "left");
        head.clear();
        headDone = false;
    };
    for (std::uint32_t at = 0; at < units.size();)
    {
        if (units.at(at) == '<')
        {
            const std::uint32_t close = breakTagEnd(units, at);
            if (close != 0)
            {
                endParagraph();
                at = close + 1;
                continue;
            }
        }
        if (!headDone)
        {
            const std::uint16_t unit = units.at(at);
            headDone = unit == '>';
            // Only ASCII takes part in finding the alignment; other characters need not be converted.
            if (!headDone)
                head.push_back(unit < 0x80 ? static_cast<char>(unit) : '\x7F');
        }
        ++at;
    }
    endParagraph();
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
