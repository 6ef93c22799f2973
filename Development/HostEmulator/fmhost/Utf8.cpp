#include "fmhost/Utf8.h"

namespace fmhost
{
bool nextUtf8Character(const std::string &text, std::size_t &at, char32_t &character)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
    {
        character = lead;
        ++at;
        return true;
    }
    const int extra = lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                    : lead >= 0xF0 && lead <= 0xF4 ? 3 : 0;
    if (extra == 0 || text.size() - at <= static_cast<std::size_t>(extra))
    {
        ++at;
        return false;
    }
    char32_t code = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
    {
        if ((byte(at + k) & 0xC0) != 0x80)
        {
            ++at;
            return false;
        }
        code = code << 6 | (byte(at + k) & 0x3F);
    }
    const char32_t smallest = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    {
        ++at;
        return false;
    }
    character = code;
    at += extra + 1;
    return true;
}

std::size_t firstNonUtf8Byte(const std::string &text)
{
    char32_t character = 0;
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t start = at;
        if (!nextUtf8Character(text, at, character))
            return start;
    }
    return std::string::npos;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80)
        out += static_cast<char>(c);
    else if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
} // namespace fmhost
