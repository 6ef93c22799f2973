#include "html/HtmlProduction.h"

#include <algorithm>

#include "FMWrapper/FMXText.h"
#include "html/ElementStyles.h"
#include "html/FragmentPostProcessing.h"
#include "html/HostText.h"
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

void appendAscii(std::vector<std::uint16_t> &units, const char *ascii)
{
    for (; *ascii; ++ascii)
        units.push_back(static_cast<unsigned char>(*ascii));
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

void appendFragment(cFragment &fragment, fmx::Text &output, const cClassMap *classMap)
{
    const std::string style = fragment.getInlineCSS();
    const std::string classes = joined(fragment.cssClasses);
    // A span inside the element carries the attributes: the element's own formatting and theirs then both show.
    if ((fragment.tags.empty() && (!style.empty() || !classes.empty())) || attributesFightElement(fragment, classMap))
        fragment.tags.push_back("span");

    std::string open;
    for (std::size_t t = 0; t < fragment.tags.size(); ++t)
        open += t + 1 < fragment.tags.size() ? "<" + fragment.tags[t] + ">"
                                             : createTag(fragment.tags[t], classes, style);
    appendNarrow(output, open);

    fmx::TextUniquePtr body;
    body->AssignUnicodeWithLength(fragment.characters.data(), static_cast<fmx::uint32>(fragment.characters.size()));
    addEntitiesAndFixEndlines(*body);
    output.AppendText(*body);

    std::string close;
    for (auto tag = fragment.tags.rbegin(); tag != fragment.tags.rend(); ++tag)
        close += "</" + *tag + ">";
    appendNarrow(output, close);
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

void addEntitiesAndFixEndlines(fmx::Text &text)
{
    const std::vector<std::uint16_t> units = unitsOf(text, 0, text.GetSize());
    if (units.empty())
        return;
    std::vector<std::uint16_t> rebuilt;
    rebuilt.reserve(units.size() + units.size() / 8);
    for (const std::uint16_t unit : units)
    {
        switch (unit)
        {
        case u'\n':
        case 0x2028:   // line separator
            appendAscii(rebuilt, "<br/>\r");
            break;
        case u'&':
            appendAscii(rebuilt, "&amp;");
            break;
        case u'<':
            appendAscii(rebuilt, "&lt;");
            break;
        case u'>':
            appendAscii(rebuilt, "&gt;");
            break;
        case u'"':
            appendAscii(rebuilt, "&quot;");
            break;
        case 0x00A0:   // no-break space
            appendAscii(rebuilt, "&nbsp;");
            break;
        default:
            rebuilt.push_back(unit);
        }
    }
    text.AssignUnicodeWithLength(rebuilt.data(), static_cast<fmx::uint32>(rebuilt.size()));
}

void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, fmx::Text &output,
                              const cClassMap *classMap)
{
    const bool wrapped = !paragraph.tags.empty();
    if (wrapped)
    {
        escalateSharedBlockElement(paragraph, fragments);
        escalateSharedCssClasses(paragraph, fragments, classMap);
        escalateSharedCssStyles(paragraph, fragments);
        appendNarrow(output,
                     createTag(paragraph.tags.front(), joined(paragraph.cssClasses), paragraph.getInlineCSS()));
    }
    for (cFragment &fragment : fragments)
        if (!fragment.characters.empty())
            appendFragment(fragment, output, classMap);
    if (wrapped)
        appendNarrow(output, "</" + paragraph.tags.front() + ">\r");
}
} // namespace vtl::html
