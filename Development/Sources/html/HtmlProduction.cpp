#include "html/HtmlProduction.h"

#include <algorithm>

#include "FMWrapper/FMXText.h"
#include "html/ElementStyles.h"
#include "html/FragmentPostProcessing.h"
#include "html/HostText.h"
#include "html/HtmlSink.h"
#include "html/SafeMarkup.h"

namespace vtl::html
{
namespace
{
std::string joined(const std::vector<std::string> &items)
{
    std::string out;
    for (const std::string &item : items)
    {
        if (!out.empty())
            out += ' ';
        out += item;
    }
    return out;
}

// True when a class or style on the fragment's innermost element would replace a formatting that the element
// itself draws (a class's underline on "s" would take its line-through away).
bool attributesFightElement(const cFragment &fragment, const cClassMap *classMap)
{
    if (fragment.tags.empty())
        return false;
    std::vector<std::string> properties = classMap ? classProperties(fragment.cssClasses, *classMap)
                                                   : std::vector<std::string>();
    for (const auto &style : fragment.cssStyles)
        properties.push_back(style.first);
    return std::any_of(properties.begin(), properties.end(), [&fragment](const std::string &property) {
        return elementDrawsProperty(fragment.tags.back(), property);
    });
}
} // namespace

std::string createTag(const std::string &name, const std::string &classes, const std::string &style)
{
    std::string tag = "<" + name;
    if (!classes.empty())
        tag += " class=\"" + escapeAttribute(classes) + "\"";
    if (!style.empty())
        tag += " style=\"" + escapeAttribute(style) + "\"";
    return tag + ">";
}

cMarkup markupOf(const cFragment &fragment, const cClassMap *classMap)
{
    const std::string style = fragment.getInlineCSS();
    const std::string classes = joined(fragment.cssClasses);
    std::vector<std::string> tags = fragment.tags;
    // A span inside the element carries the attributes: the element's own formatting and theirs then both show.
    if ((tags.empty() && (!style.empty() || !classes.empty())) || attributesFightElement(fragment, classMap))
        tags.push_back("span");

    std::string open;
    for (std::size_t t = 0; t < tags.size(); ++t)
        open += t + 1 < tags.size() ? "<" + tags[t] + ">" : createTag(tags[t], classes, style);
    std::string close;
    for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag)
        close += "</" + *tag + ">";
    return {unitsOfNarrow(open), unitsOfNarrow(close)};
}

void addEntitiesAndFixEndlines(fmx::Text &text)
{
    const std::vector<std::uint16_t> units = unitsOf(text, 0, text.GetSize());
    if (units.empty())
        return;
    cHtmlSink rebuilt;
    rebuilt.appendEscaped(units.data(), units.size());
    fmx::TextUniquePtr escaped;
    rebuilt.moveInto(*escaped);
    text.SetText(*escaped);
}

void openParagraph(cFragment &paragraph, FragmentVector &fragments, const cClassMap *classMap, cHtmlSink &output)
{
    if (paragraph.tags.empty())
        return;
    escalateSharedBlockElement(paragraph, fragments);
    escalateSharedCssClasses(paragraph, fragments, classMap);
    escalateSharedCssStyles(paragraph, fragments);
    output.appendNarrow(createTag(paragraph.tags.front(), joined(paragraph.cssClasses), paragraph.getInlineCSS()));
}

void closeParagraph(const cFragment &paragraph, cHtmlSink &output)
{
    if (!paragraph.tags.empty())
        output.appendNarrow("</" + paragraph.tags.front() + ">\r");
}

void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, cHtmlSink &output,
                              const cClassMap *classMap)
{
    openParagraph(paragraph, fragments, classMap, output);
    for (const cFragment &fragment : fragments)
    {
        if (fragment.characters.empty())
            continue;
        const cMarkup markup = markupOf(fragment, classMap);
        output.append(markup.open);
        output.appendEscaped(fragment.characters.data(), fragment.characters.size());
        output.append(markup.close);
    }
    closeParagraph(paragraph, output);
}

void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, fmx::Text &output,
                              const cClassMap *classMap)
{
    cHtmlSink html;
    produceHTMLfromFragments(paragraph, fragments, html, classMap);
    html.moveInto(output);
}
} // namespace vtl::html
