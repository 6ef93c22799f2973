#ifndef VANTREL_HTML_FRAGMENT_H
#define VANTREL_HTML_FRAGMENT_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vtl::html
{
// Formatting keys ("bold", "color", ...) to their values; flag formattings have the value "".
using Formattings = std::map<std::string, std::string>;
// CSS property name to value. Ordered by byte comparison: that order shows in the output.
using CssMap = std::map<std::string, std::string>;

// A run of neighbouring characters of one paragraph that look the same, and what it will be written as.
class cFragment
{
public:
    std::vector<std::uint16_t> characters;   // UTF-16 code units as the host reports them; what the HTML shows
    std::string text;                        // the same characters as UTF-8; only the merge trace reads it
    std::uint64_t start = 0;                 // position of the first character in the text it was cut from
    std::uint64_t length = 0;                // number of character positions covered
    Formattings formattings;                 // emptied once turned into tags, classes and styles
    std::vector<std::string> tags;           // wrapping elements, outermost first
    std::vector<std::string> cssClasses;
    CssMap cssStyles;                        // the inline style

    std::string getInlineCSS() const;
};

using FragmentVector = std::vector<cFragment>;
} // namespace vtl::html

#endif
