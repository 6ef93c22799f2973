#include "html/HtmlConversion.h"

#include <algorithm>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXText.h"
#include "html/CompactParagraph.h"
#include "html/FragmentExtraction.h"
#include "html/FragmentPostProcessing.h"
#include "html/HostText.h"
#include "html/HtmlProduction.h"
#include "html/HtmlSink.h"
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

// What one conversion keeps: its options, the classes it made, the looks of the styles it met and the
// appearances they became.
class cConversion
{
public:
    cConversion(const cOptions &options, const fmx::ExprEnv &env, cClassMap &classMap)
        : options_(options), classMap_(classMap), looks_(env)
    {
    }

    const cAppearances &appearances() const { return appearances_; }

    // Adds the runs of positions [position, position + size) of the text to the paragraph; units is the
    // paragraph's copy of the text's units.
    void extract(const fmx::Text &source, std::uint32_t position, std::uint32_t size, const std::uint16_t *units,
                 cCompactParagraph &paragraph)
    {
        forEachStyleRun(source, position, units + position, size, looks_,
                        [&](cStyleLook &look, std::size_t from, std::size_t to) {
                            paragraph.add(position + static_cast<std::uint32_t>(from),
                                          position + static_cast<std::uint32_t>(to), appearanceOf_(look));
                        });
    }

    void write(cCompactParagraph &paragraph, const std::string &alignment, cHtmlSink &body)
    {
        paragraph.write(createParagraphFragment(alignment, options_.tagParams, options_.classParams,
                                                options_.styleParams, classMap_),
                        classMap_, body);
    }

private:
    // Elements, classes and style depend on the look alone: each look is turned into them once.
    std::uint32_t appearanceOf_(cStyleLook &look)
    {
        if (look.appearance == cStyleLook::kNoAppearance)
        {
            FragmentVector one{fragmentFromLook(look, 0)};
            fragmentsPostProcessing(one, classMap_, options_.tagParams, options_.classParams, options_.styleParams);
            look.appearance = appearances_.intern(one.front());
        }
        return look.appearance;
    }

    const cOptions &options_;
    cClassMap &classMap_;
    cStyleLooks looks_;
    cAppearances appearances_;
};

// The carriage return separates paragraphs; a text of one paragraph gets no wrapper element.
void convertPlain(const fmx::Text &source, cConversion &conversion, cHtmlSink &body)
{
    const std::vector<std::uint16_t> units = unitsOf(source, 0, source.GetSize());
    cCompactParagraph paragraph(units.data(), conversion.appearances());
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
        conversion.extract(source, static_cast<std::uint32_t>(paragraphStart),
                           static_cast<std::uint32_t>(end - paragraphStart), units.data(), paragraph);
        conversion.write(paragraph, alignment, body);
        paragraphStart = i + 1;
    }
}

// Lines of equal alignment joined by line separators form one paragraph; the separators stay as breaks.
void convertVariable(const fmx::Text &source, const fmx::ExprEnv &env, cConversion &conversion, cHtmlSink &body)
{
    // The content, evaluated once with its styles, gives every line's styled text: asking the host for each value
    // would cost the whole text per line.
    const fmx::DataUniquePtr value = evaluateInHost("", source, "", env);
    const fmx::Text &content = value->GetAsText();
    const std::vector<std::uint16_t> units = unitsOf(content, 0, content.GetSize());
    const std::vector<cLine> contentLines = linesOf(units);
    const std::vector<std::uint16_t> endings = lineEndingsOf(units);
    const std::vector<std::string> aligns = getLineAligns(source, units, env);
    const std::vector<bool> ends = determineParagraphEnds(endings, aligns);
    const std::size_t lines = aligns.size();
    cCompactParagraph paragraph(units.data(), conversion.appearances());
    for (std::size_t i = 0; i < lines; ++i)
    {
        // Values the host counts beyond the content's lines are empty, as the host's own GetValue gives them.
        if (i < contentLines.size())
            conversion.extract(content, static_cast<std::uint32_t>(contentLines[i].begin),
                               static_cast<std::uint32_t>(contentLines[i].end - contentLines[i].begin), units.data(),
                               paragraph);
        if (ends[i] || i + 1 == lines)
        {
            const bool singleLeftLine = lines == 1 && aligns[i] == "left";
            conversion.write(paragraph, singleLeftLine ? "none" : aligns[i], body);
            continue;
        }
        // The host may count more values than the content shows endings: a missing ending is no ending.
        const std::uint16_t ending = i < endings.size() ? endings[i] : 0;
        // A break before any character of the paragraph has no fragment to go to and is dropped.
        if (ending != 0 && !paragraph.empty())
            paragraph.appendBreak(static_cast<std::uint32_t>(contentLines[i].end));
    }
}
} // namespace

void transformRichtextToHTML(const std::string &alignment, const ParamVector &tagParams,
                             const ParamVector &classParams, const ParamVector &styleParams,
                             FragmentVector &fragments, cClassMap &classMap, fmx::Text &body)
{
    fragmentsPostProcessing(fragments, classMap, tagParams, classParams, styleParams);
    mergeFragments(fragments);
    // Fragments emptied by merging look like their right neighbour: no escalation needs them.
    fragments.erase(std::remove_if(fragments.begin(), fragments.end(),
                                   [](const cFragment &f) { return f.characters.empty(); }),
                    fragments.end());
    cFragment paragraph = createParagraphFragment(alignment, tagParams, classParams, styleParams, classMap);
    produceHTMLfromFragments(paragraph, fragments, body, &classMap);
    fragments.clear();
}

void transformRichtextToHTMLWithEvaluate(const fmx::Text &source, const fmx::Text &tagOption,
                                         const fmx::Text &classOption, const fmx::Text &styleOption,
                                         const fmx::ExprEnv &env, fmx::Text &output, std::uint64_t longest)
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

    cHtmlSink body(longest);
    {
        // Everything the conversion kept is let go before the result is handed over: the host's copy of it is
        // the largest thing a call holds.
        cClassMap classMap;
        {
            cConversion conversion(options, env, classMap);
            bool variableMode = false;
            if (isVariableName(source))
                variableMode = evaluateOnFM("isEmpty(", source, ")", env) == "0";
            if (variableMode)
                convertVariable(source, env, conversion, body);
            else
                convertPlain(source, conversion, body);
        }
        cHtmlSink styleBlock;
        appendCssClasses(classMap, "", styleBlock);
        body.prepend(styleBlock);
    }
    body.moveInto(output);
    output.ResetAllStyleBuffers();
}
} // namespace vtl::html
