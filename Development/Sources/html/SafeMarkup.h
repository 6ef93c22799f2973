#ifndef VANTREL_HTML_SAFEMARKUP_H
#define VANTREL_HTML_SAFEMARKUP_H

#include <cstdint>
#include <string>
#include <vector>

namespace vtl::html
{
// An element or class name the options may give: ASCII letters, digits, "-" and "_", starting with a letter.
bool isValidName(const std::string &name);
// The font-family value of a font name, safe both in a style attribute and in a style element: the name itself
// when it reads as plain CSS identifiers, else a quoted CSS string of ASCII escapes; empty when the name cannot be
// written at all (a NUL, a lone surrogate, not UTF-8).
std::string cssFontFamily(const std::string &fontName);
// True when the UTF-16 units hold a NUL or half of a surrogate pair.
bool hasUnwritableUnits(const std::vector<std::uint16_t> &units);
// The text with "&", "<", ">" and the double quote written as entities.
std::string escapeAttribute(const std::string &text);
} // namespace vtl::html

#endif
