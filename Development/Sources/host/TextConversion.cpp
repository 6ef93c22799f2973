#include "host/TextConversion.h"

#include <cctype>
#include <cstring>
#include <algorithm>

std::string Utf8FromFmText(const fmx::Text &text)
{
    const fmx::uint32 size = text.GetSize();
    if (size == 0)
        return std::string();
    // Three UTF-8 bytes per UTF-16 unit cover every character (a surrogate pair, two units, needs four), so the
    // text is never cut. Short texts (names, options) go through the stack, so the string holds only their bytes.
    char shortText[192];
    std::string bytes;
    char *into = shortText;
    std::size_t capacity = sizeof shortText;
    if (size > sizeof shortText / 3)
    {
        bytes.resize(static_cast<std::size_t>(size) * 3);
        into = bytes.data();
        capacity = bytes.size();
    }
    const std::size_t written = std::min<std::size_t>(
        text.GetBytesEx(into, static_cast<fmx::uint32>(capacity), 0, fmx::Text::kSize_End, fmx::Text::kEncoding_UTF8),
        capacity);
    if (into == shortText)
        return std::string(shortText, written);
    bytes.resize(written);
    return bytes;
}

std::string StringFromFmText(const fmx::Text &text)
{
    std::string utf8 = Utf8FromFmText(text);
    utf8.resize(std::strlen(utf8.c_str()));
    return utf8;
}

std::string StringFromFmText(const fmx::TextUniquePtr &text)
{
    return text ? StringFromFmText(*text) : std::string();
}

std::string toLower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isEmpty(const fmx::Text &text)
{
    return text.GetSize() == 0;
}

bool isSpace(const fmx::Text &text)
{
    if (text.GetSize() != 1)
        return false;
    fmx::uint16 unit = 0;
    text.GetUnicode(&unit, 0, 1);
    return unit == u' ';
}
