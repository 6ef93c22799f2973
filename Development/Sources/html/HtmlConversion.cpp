#include "html/HtmlConversion.h"

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

void convertParagraph(const std::string &alignment, const cOptions &options, FragmentVector &fragments,
                      cClassMap &classMap, fmx::Text &body)
{
    transformRichtextToHTML(alignment, options.tagParams, options.classParams, options.styleParams, fragments,
                            classMap, body);
    fragments.clear();
}

// The carriage return separates paragraphs; a text of one paragraph gets no wrapper element.
void convertPlain(const fmx::Text &source, const cOptions &options, const fmx::ExprEnv &env, cClassMap &classMap,
                  fmx::Text &body)
{
    const std::vector<std::uint16_t> units = unitsOf(source, 0, source.GetSize());
    FragmentVector fragments;
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
        extractFragments(source, static_cast<std::uint32_t>(paragraphStart),
                         static_cast<std::uint32_t>(end - paragraphStart), env, fragments);
        convertParagraph(alignment, options, fragments, classMap, body);
        paragraphStart = i + 1;
    }
}

// Lines of equal alignment joined by line separators form one paragraph; the separators stay as breaks.
void convertVariable(const fmx::Text &source, const cOptions &options, const fmx::ExprEnv &env,
                     cClassMap &classMap, fmx::Text &body)
{
    const std::vector<std::uint16_t> endings = getLineEndings(source, env);
    const std::vector<std::string> aligns = getLineAligns(source, env);
    const std::vector<bool> ends = determineParagraphEnds(endings, aligns);
    const std::size_t lines = aligns.size();
    FragmentVector fragments;
    for (std::size_t i = 0; i < lines; ++i)
    {
        fmx::TextUniquePtr value;
        evaluateOnFM("GetValue(", source, ";" + std::to_string(i + 1) + ")", env, *value);
        extractFragments(*value, env, fragments);
        if (ends[i] || i + 1 == lines)
        {
            const bool singleLeftLine = lines == 1 && aligns[i] == "left";
            convertParagraph(singleLeftLine ? "none" : aligns[i], options, fragments, classMap, body);
            continue;
        }
        // The host may count more values than the content shows endings: a missing ending is no ending.
        const std::uint16_t ending = i < endings.size() ? endings[i] : 0;
        // A break before any character of the paragraph has no fragment to go to and is dropped.
        if (ending != 0 && !fragments.empty())
        {
            fragments.back().characters.push_back(ending);
            fragments.back().text.push_back(static_cast<char>(ending & 0xFF));
        }
    }
}
} // namespace

void transformRichtextToHTML(const std::string &alignment, const ParamVector &tagParams,
                             const ParamVector &classParams, const ParamVector &styleParams,
                             FragmentVector &fragments, cClassMap &classMap, fmx::Text &body)
{
    fragmentsPostProcessing(fragments, classMap, tagParams, classParams, styleParams);
    mergeFragments(fragments);
    cFragment paragraph = createParagraphFragment(alignment, tagParams, classParams, styleParams, classMap);
    produceHTMLfromFragments(paragraph, fragments, body);
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
    {
        fmx::TextUniquePtr answer;
        variableMode = evaluateOnFM("isEmpty(", source, ")", env, *answer) == "0";
    }
    if (variableMode)
        convertVariable(source, options, env, classMap, *body);
    else
        convertPlain(source, options, env, classMap, *body);

    appendCssClasses(classMap, "", output);
    output.AppendText(*body);
    output.ResetAllStyleBuffers();
}
} // namespace vtl::html
