#include "html/CssFormattings.h"

#include "FMWrapper/FMXText.h"
#include "html/HtmlSink.h"
#include "html/SafeMarkup.h"

namespace vtl::html
{
namespace
{
struct cCssRule
{
    const char *formatting;
    const char *property;
    const char *value;   // nullptr: the formatting's own value
};

// In the order the formattings are examined; a later rule overwrites a property an earlier one set.
const cCssRule kCssRules[] = {
    {"bold", "font-weight", "bold"},
    {"italic", "font-style", "italic"},
    {"highlight", "background-color", "#FFFF00"},
    {"underline", "text-decoration", "underline"},
    {"doubleunderline", "text-decoration", "underline"},
    {"doubleunderline", "text-decoration-style", "double"},
    {"doubleunderline", "-webkit-text-decoration-style", "double"},
    {"strikethrough", "text-decoration", "line-through"},
    {"condense", "letter-spacing", "-2px"},
    {"extend", "letter-spacing", "2px"},
    {"superscript", "vertical-align", "super"},
    {"subscript", "vertical-align", "sub"},
    {"smallcaps", "font-variant", "small-caps"},
    {"uppercase", "text-transform", "uppercase"},
    {"lowercase", "text-transform", "lowercase"},
    {"titlecase", "text-transform", "capitalize"},
    {"color", "color", nullptr},
    {"font", "font-family", nullptr},
    {"size", "font-size", nullptr},
};
} // namespace

CssMap CSSFromFormattings(Formattings formattings)
{
    CssMap css;
    if (formattings.empty())
        return css;
    for (const cCssRule &rule : kCssRules)
    {
        auto found = formattings.find(rule.formatting);
        if (found == formattings.end())
            continue;
        std::string value = rule.value ? rule.value : found->second;
        // A font name is the user's text: written as a safe CSS value, or not at all.
        if (found->first == "font" && (value = cssFontFamily(value)).empty())
            continue;
        auto decoration = css.find("text-decoration");
        // A strike-through joins an underline instead of replacing it.
        if (found->first == "strikethrough" && decoration != css.end())
            decoration->second += " line-through";
        else
            css[rule.property] = value;
    }
    return css;
}

std::string serialize_CSS(const CssMap &css, const std::string &separator)
{
    std::string out;
    for (const auto &[property, value] : css)
    {
        out += property;
        out += ':';
        out += value;
        out += ';';
        out += separator;
    }
    return out;
}

std::string get_or_create_class(const std::string &cssText, const std::string &baseName, cClassMap &classMap)
{
    auto known = classMap.nameOfCss_.find(cssText);
    if (known != classMap.nameOfCss_.end())
        return known->second;

    std::string name = baseName;
    if (classMap.classes.count(name))
    {
        // Names are never removed, so every suffix below the remembered one is taken already.
        unsigned long &suffix = classMap.nextSuffix_[baseName];
        if (suffix == 0)
            suffix = 1;
        do
            name = baseName + std::to_string(suffix++);
        while (classMap.classes.count(name));
    }
    classMap.classes[name] = cssText;
    classMap.nameOfCss_[cssText] = name;
    return name;
}

void appendCssClasses(const cClassMap &classMap, const std::string &header, cHtmlSink &output)
{
    if (classMap.empty())
        return;
    output.appendNarrow("<style type=\"text/css\">" + header + "\r");
    for (const auto &[name, css] : classMap.classes)
        output.appendNarrow("." + name + " { " + css + " }\r");
    output.appendNarrow("</style>\r");
}

void appendCssClasses(const cClassMap &classMap, const std::string &header, fmx::Text &output)
{
    cHtmlSink block;
    appendCssClasses(classMap, header, block);
    block.moveInto(output);
}
} // namespace vtl::html
