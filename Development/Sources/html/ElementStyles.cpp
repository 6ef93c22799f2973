#include "html/ElementStyles.h"

#include <algorithm>
#include <cstring>

#include "host/TextConversion.h"

namespace vtl::html
{
namespace
{
struct cElementDefault
{
    const char *element;
    const char *property;   // a name, or a stem ending in "*" for a group such as the text-decoration ones
};

bool propertyMatches(const char *pattern, const std::string &property)
{
    const std::size_t length = std::strlen(pattern);
    if (pattern[length - 1] == '*')   // "-webkit-text-decoration-style" belongs to "text-decoration*" as well
        return property.find(std::string(pattern, length - 1)) != std::string::npos;
    return property == pattern;
}

bool inTable(const cElementDefault *begin, const cElementDefault *end, const std::string &element,
             const std::string &property)
{
    const std::string lower = toLower(element);
    return std::any_of(begin, end, [&](const cElementDefault &entry) {
        return lower == entry.element && propertyMatches(entry.property, property);
    });
}

// Formattings the element draws itself; the decorations of an ancestor add to those of its content, so only a
// rule on the element itself can take them away.
const cElementDefault kDrawn[] = {
    {"u", "text-decoration*"},   {"ins", "text-decoration*"}, {"s", "text-decoration*"},
    {"strike", "text-decoration*"}, {"del", "text-decoration*"}, {"sub", "vertical-align"},
    {"sup", "vertical-align"},  {"mark", "background-color"},
};

// Inherited properties the element sets on itself, which hide the paragraph's value from its content.
const cElementDefault kReset[] = {
    {"mark", "color"},        {"sub", "font-size"},    {"sup", "font-size"},    {"small", "font-size"},
    {"big", "font-size"},     {"b", "font-weight"},    {"strong", "font-weight"}, {"i", "font-style"},
    {"em", "font-style"},     {"cite", "font-style"},  {"dfn", "font-style"},   {"var", "font-style"},
    {"code", "font-family"},  {"code", "font-size"},   {"kbd", "font-family"},  {"kbd", "font-size"},
    {"samp", "font-family"},  {"samp", "font-size"},   {"tt", "font-family"},   {"tt", "font-size"},
};
} // namespace

bool elementDrawsProperty(const std::string &element, const std::string &property)
{
    return inTable(std::begin(kDrawn), std::end(kDrawn), element, property);
}

bool paragraphCanCarry(const std::string &property, const FragmentVector &fragments)
{
    if (property == "vertical-align")
        return false;
    return std::none_of(fragments.begin(), fragments.end(), [&property](const cFragment &fragment) {
        return std::any_of(fragment.tags.begin(), fragment.tags.end(), [&property](const std::string &tag) {
            return inTable(std::begin(kReset), std::end(kReset), tag, property);
        });
    });
}

std::vector<std::string> cssProperties(const std::string &cssText)
{
    // Values never hold ":" or ";": colours, sizes and keywords are fixed, and a font name is escaped.
    std::vector<std::string> properties;
    std::string::size_type from = 0;
    while (from < cssText.size())
    {
        const std::string::size_type colon = cssText.find(':', from);
        if (colon == std::string::npos)
            break;
        properties.push_back(cssText.substr(from, colon - from));
        const std::string::size_type semicolon = cssText.find(';', colon);
        if (semicolon == std::string::npos)
            break;
        from = semicolon + 1;
    }
    return properties;
}

std::vector<std::string> classProperties(const std::vector<std::string> &classes, const cClassMap &classMap)
{
    std::vector<std::string> properties;
    for (const std::string &name : classes)
    {
        auto found = classMap.classes.find(name);
        if (found == classMap.classes.end())
            continue;
        for (std::string &property : cssProperties(found->second))
            properties.push_back(std::move(property));
    }
    return properties;
}
} // namespace vtl::html
