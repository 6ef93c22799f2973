#include "fmhost/Output.h"

#include "core/Encoding.h"

#include <cstdio>

namespace fmhost
{
std::string jsonString(const std::string &utf8)
{
    std::string clean = emu::Utf16ToUtf8(emu::Utf8ToUtf16(utf8));
    std::string out = "\"";
    for (char c : clean)
    {
        auto byte = static_cast<unsigned char>(c);
        switch (c)
        {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (byte < 0x20 || byte == 0x7F)
            {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            }
            else
                out += c;
        }
    }
    return out + "\"";
}

std::string jsonLine(const std::string &calculation, int error, const std::string &type, const std::string &value)
{
    return "{\"calc\":" + jsonString(calculation) + ",\"error\":" + std::to_string(error) +
           ",\"type\":" + jsonString(type) + ",\"value\":" + jsonString(value) + "}";
}

std::string plainLine(const std::string &value)
{
    std::string line = value;
    for (char &c : line)
        if (c == '\r')
            c = '\n';
    return line;
}
} // namespace fmhost
