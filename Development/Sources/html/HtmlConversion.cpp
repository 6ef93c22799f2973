#include "html/HtmlConversion.h"

#include <algorithm>
#include <iterator>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXText.h"
#include "html/FragmentExtraction.h"
#include "html/FragmentPostProcessing.h"
#include "html/HostText.h"
#include "html/HtmlProduction.h"
#include "html/VariableMode.h"

namespace vtl::html
{
namespace
{
struct cOptions
{
    ParamVector tagParams;
    ParamVector classParams;
    ParamVector styleParams;
};

// Positions of a long paragraph are cut into fragments this many at a time.
constexpr std::uint32_t kExtractionBatch = 1u << 16;

// The fragments of one paragraph, collected batch by batch. Each batch gets its elements, classes and styles
// and is merged with what came before at once, and the fragments emptied by merging are dropped (they look like
// their right neighbour, so no escalation can tell). Memory then holds one fragment per run of equal
// appearance, not one per change of host style.
class cParagraph
{
public:
    cParagraph(const ParamVector &tagParams, const ParamVector &classParams, const ParamVector &styleParams,
               cClassMap &classMap)
        : tagParams_(tagParams), classParams_(classParams), styleParams_(styleParams), classMap_(classMap)
    {
    }

    // Takes fragments that follow the ones added so far in the text; leaves `batch` empty.
    void add(FragmentVector &batch)
    {
        fragmentsPostProcessing(batch, classMap_, tagParams_, classParams_, styleParams_);
        const std::size_t from = fragments_.empty() ? 0 : fragments_.size() - 1;
        fragments_.insert(fragments_.end(), std::make_move_iterator(batch.begin()),
                          std::make_move_iterator(batch.end()));
        batch.clear();
        mergeFragments(fragments_, from);
        fragments_.erase(std::remove_if(fragments_.begin() + static_cast<std::ptrdiff_t>(from), fragments_.end(),
                                        [](const cFragment &f) { return f.characters.empty(); }),
                         fragments_.end());
    }

    bool empty() const { return fragments_.empty(); }

    // A line break inside the paragraph joins the last fragment collected.
    void appendBreak(std::uint16_t ending)
    {
        fragments_.back().characters.push_back(ending);
        fragments_.back().text.push_back(static_cast<char>(ending & 0xFF));
    }

    void write(const std::string &alignment, fmx::Text &body)
    {
        cFragment paragraph = createParagraphFragment(alignment, tagParams_, classParams_, styleParams_, classMap_);
        produceHTMLfromFragments(paragraph, fragments_, body, &classMap_);
        fragments_.clear();
    }

private:
    const ParamVector &tagParams_;
    const ParamVector &classParams_;
    const ParamVector &styleParams_;
    cClassMap &classMap_;
    FragmentVector fragments_;
};

// The carriage return separates paragraphs; a text of one paragraph gets no wrapper element.
void convertPlain(const fmx::Text &source, const cOptions &options, const fmx::ExprEnv &env, cClassMap &classMap,
                  fmx::Text &body)
{
    const std::vector<std::uint16_t> units = unitsOf(source, 0, source.GetSize());
    cParagraph paragraph(options.tagParams, options.classParams, options.styleParams, classMap);
    FragmentVector batch;
    std::string alignment;
    std::size_t paragraphStart = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        const bool lastPosition = i + 1 == units.size();
        const bool carriageReturn = units[i] == 13;
        if (!carriageReturn && !lastPosition)
            continue;
        if (count == 0 && lastPosition)
            alignment = "none";
        ++count;
        const std::size_t end = carriageReturn ? i : i + 1;
        for (std::size_t from = paragraphStart; from < end; from += kExtractionBatch)
        {
            const std::uint32_t size = static_cast<std::uint32_t>(std::min<std::size_t>(kExtractionBatch, end - from));
            extractFragments(source, static_cast<std::uint32_t>(from), size, env, batch);
            for (cFragment &fragment : batch)
                fragment.start += from - paragraphStart;
            paragraph.add(batch);
        }
        paragraph.write(alignment, body);
        paragraphStart = i + 1;
    }
}

// Lines of equal alignment joined by line separators form one paragraph; the separators stay as breaks.
void convertVariable(const fmx::Text &source, const cOptions &options, const fmx::ExprEnv &env,
                     cClassMap &classMap, fmx::Text &body)
{
    // The content, evaluated once with its styles, gives every line's styled text: asking the host for each value
    // would cost the whole text per line. Only the alignment, which a plug-in cannot read from a text, is asked
    // per line.
    const fmx::DataUniquePtr value = evaluateInHost("", source, "", env);
    const fmx::Text &content = value->GetAsText();
    const std::vector<std::uint16_t> units = unitsOf(content, 0, content.GetSize());
    const std::vector<cLine> contentLines = linesOf(units);
    const std::vector<std::uint16_t> endings = lineEndingsOf(units);
    const std::vector<std::string> aligns = getLineAligns(source, units, env);
    const std::vector<bool> ends = determineParagraphEnds(endings, aligns);
    const std::size_t lines = aligns.size();
    cParagraph paragraph(options.tagParams, options.classParams, options.styleParams, classMap);
    FragmentVector batch;
    for (std::size_t i = 0; i < lines; ++i)
    {
        // Values the host counts beyond the content's lines are empty, as the host's own GetValue gives them.
        if (i < contentLines.size())
            extractFragments(content, static_cast<std::uint32_t>(contentLines[i].begin),
                             static_cast<std::uint32_t>(contentLines[i].end - contentLines[i].begin), env, batch);
        paragraph.add(batch);
        if (ends[i] || i + 1 == lines)
        {
            const bool singleLeftLine = lines == 1 && aligns[i] == "left";
            paragraph.write(singleLeftLine ? "none" : aligns[i], body);
            continue;
        }
        // The host may count more values than the content shows endings: a missing ending is no ending.
        const std::uint16_t ending = i < endings.size() ? endings[i] : 0;
        // A break before any character of the paragraph has no fragment to go to and is dropped.
        if (ending != 0 && !paragraph.empty())
            paragraph.appendBreak(ending);
    }
}
} // namespace

void transformRichtextToHTML(const std::string &alignment, const ParamVector &tagParams,
                             const ParamVector &classParams, const ParamVector &styleParams,
                             FragmentVector &fragments, cClassMap &classMap, fmx::Text &body)
{
    cParagraph paragraph(tagParams, classParams, styleParams, classMap);
    paragraph.add(fragments);
    paragraph.write(alignment, body);
}

void transformRichtextToHTMLWithEvaluate(const fmx::Text &source, const fmx::Text &tagOption,
                                         const fmx::Text &classOption, const fmx::Text &styleOption,
                                         const fmx::ExprEnv &env, fmx::Text &output)
{
    cOptions options;
    options.tagParams = parseTagOrClassOrStyleParam(tagOption, true);
    options.classParams = parseTagOrClassOrStyleParam(classOption, true);
    options.styleParams = parseTagOrClassOrStyleParam(styleOption, false);
    if (paramVectorHasKey(options.tagParams, "all"))
    {
        paramVectorEraseKey(options.tagParams, "all");
        addDefaultFormattingsForTag(options.tagParams);
    }

    cClassMap classMap;
    fmx::TextUniquePtr body;
    bool variableMode = false;
    if (isVariableName(source))
        variableMode = evaluateOnFM("isEmpty(", source, ")", env) == "0";
    if (variableMode)
        convertVariable(source, options, env, classMap, *body);
    else
        convertPlain(source, options, env, classMap, *body);

    appendCssClasses(classMap, "", output);
    output.AppendText(*body);
    output.ResetAllStyleBuffers();
}
} // namespace vtl::html
