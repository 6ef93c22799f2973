#include "html/SafeMarkup.h"

#include <algorithm>
#include <cstdio>

namespace vtl::html
{
namespace
{
bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isPlainNameChar(unsigned char c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '-' || c == '_';
}

// A word CSS reads as one identifier: not starting with a digit, nor with "-" followed by a digit or nothing.
bool isIdentifierWord(const std::string &word)
{
    if (isAsciiDigit(static_cast<unsigned char>(word[0])))
        return false;
    return word[0] != '-' || (word.size() > 1 && !isAsciiDigit(static_cast<unsigned char>(word[1])));
}

// Font names of identifiers separated by spaces are written as they are.
bool isUnquotedFamily(const std::string &name)
{
    if (!std::all_of(name.begin(), name.end(),
                     [](char c) { return c == ' ' || isPlainNameChar(static_cast<unsigned char>(c)); }))
        return false;
    bool anyWord = false;
    std::string::size_type from = 0;
    while (from < name.size())
    {
        const std::string::size_type end = std::min(name.find(' ', from), name.size());
        if (end > from)
        {
            if (!isIdentifierWord(name.substr(from, end - from)))
                return false;
            anyWord = true;
        }
        from = end + 1;
    }
    return anyWord;
}

// Reads one UTF-8 sequence at `at`; false for anything but a well-formed scalar value.
bool nextCodePoint(const std::string &text, std::size_t &at, std::uint32_t &codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t extra = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80)
        codePoint = lead;
    else if (lead >= 0xC2 && lead <= 0xDF)
        codePoint = lead & 0x1F, extra = 1, minimum = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        codePoint = lead & 0x0F, extra = 2, minimum = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        codePoint = lead & 0x07, extra = 3, minimum = 0x10000;
    else
        return false;
    if (text.size() - at - 1 < extra)
        return false;
    for (std::size_t k = 1; k <= extra; ++k)
    {
        const unsigned char next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return false;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    at += extra + 1;
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint >= minimum && codePoint <= 0x10FFFF && !surrogate;
}
} // namespace

bool isValidName(const std::string &name)
{
    return !name.empty() && isAsciiLetter(static_cast<unsigned char>(name[0])) &&
           std::all_of(name.begin(), name.end(), [](char c) { return isPlainNameChar(static_cast<unsigned char>(c)); });
}

std::string cssFontFamily(const std::string &fontName)
{
    if (isUnquotedFamily(fontName))
        return fontName;
    // Every character but letters, digits, space, "-" and "_" as a six-digit escape: no quote, backslash, "<",
    // "&", ";" or line break can then end the string, the declaration, the attribute or the style element, and the
    // value is plain ASCII. CSS takes a space right after an escape as part of it, so such a space is escaped too.
    std::string quoted = "'";
    bool afterEscape = false;
    for (std::size_t at = 0; at < fontName.size();)
    {
        std::uint32_t codePoint = 0;
        if (!nextCodePoint(fontName, at, codePoint) || codePoint == 0)
            return std::string();
        const bool plain = codePoint < 0x80 && ((codePoint == ' ' && !afterEscape) ||
                                                isPlainNameChar(static_cast<unsigned char>(codePoint)));
        afterEscape = !plain;
        if (plain)
        {
            quoted += static_cast<char>(codePoint);
            continue;
        }
        char escape[9];
        std::snprintf(escape, sizeof escape, "\\%06x", static_cast<unsigned>(codePoint));
        quoted += escape;
    }
    return quoted + "'";
}

bool hasUnwritableUnits(const std::vector<std::uint16_t> &units)
{
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        const std::uint16_t unit = units[i];
        if (unit == 0)
            return true;
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return true;   // a trail surrogate that no lead surrogate took
        if (unit >= 0xD800 && unit <= 0xDBFF)
        {
            if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                return true;
            ++i;
        }
    }
    return false;
}

std::string escapeAttribute(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}
} // namespace vtl::html
