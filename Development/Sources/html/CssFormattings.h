#ifndef VANTREL_HTML_CSSFORMATTINGS_H
#define VANTREL_HTML_CSSFORMATTINGS_H

#include <map>
#include <string>
#include <unordered_map>

#include "html/Fragment.h"

namespace fmx
{
class Text;
}

namespace vtl::html
{
class cHtmlSink;

// The CSS classes made during one conversion: class name to its serialised CSS. The two indexes keep
// finding and naming a class independent of how many classes there already are.
class cClassMap
{
public:
    std::map<std::string, std::string> classes;

    bool empty() const { return classes.empty(); }

private:
    friend std::string get_or_create_class(const std::string &cssText, const std::string &baseName,
                                           cClassMap &classMap);
    std::unordered_map<std::string, std::string> nameOfCss_;
    std::unordered_map<std::string, unsigned long> nextSuffix_;
};

CssMap CSSFromFormattings(Formattings formattings);
std::string serialize_CSS(const CssMap &css, const std::string &separator);
// The class whose CSS text is cssText; a new one named after baseName (baseName, baseName1, ...) if none has it.
std::string get_or_create_class(const std::string &cssText, const std::string &baseName, cClassMap &classMap);
// Appends the style block listing the classes; nothing at all when there is no class.
void appendCssClasses(const cClassMap &classMap, const std::string &header, fmx::Text &output);
void appendCssClasses(const cClassMap &classMap, const std::string &header, cHtmlSink &output);
} // namespace vtl::html

#endif
