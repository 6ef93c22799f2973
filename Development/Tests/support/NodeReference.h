#pragma once

// Differential tests against Node.js: running a reference script of data/ and reading what it prints.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace nodetest {

inline bool NodeAvailable() { return std::system("command -v node >/dev/null 2>&1") == 0; }

inline std::string DataFile(const std::string& name)
{
    return std::string(VANTREL_SOURCE_DIR) + "/Development/Tests/data/" + name;
}

// The lines a script of data/ prints, given its arguments (already quoted for the shell).
inline std::vector<std::string> NodeLines(const std::string& script, const std::string& arguments)
{
    const std::string command = "node '" + DataFile(script) + "' " + arguments;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::vector<std::string> lines;
    std::string line;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) {
        line += buffer;
        if (line.back() != '\n') continue;
        line.pop_back();
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Reads the strings of a JSON array (or of any JSON text, in order) as UTF-16 units; \uXXXX escapes stay
// single units, so unpaired surrogates survive.
inline std::vector<std::u16string> ParseJsonStrings(const std::string& json)
{
    std::vector<std::u16string> strings;
    size_t i = 0;
    auto fail = [&] { throw std::runtime_error("corpus: bad JSON near " + json.substr(i, 20)); };
    while (i < json.size()) {
        const char c = json[i++];
        if (c != '"') continue;
        std::u16string s;
        while (true) {
            if (i >= json.size()) fail();
            unsigned char u = static_cast<unsigned char>(json[i++]);
            if (u == '"') break;
            if (u == '\\') {
                const char e = json[i++];
                switch (e) {
                    case 'n': s += u'\n'; break;
                    case 'r': s += u'\r'; break;
                    case 't': s += u'\t'; break;
                    case 'b': s += u'\b'; break;
                    case 'f': s += u'\f'; break;
                    case 'u': s += char16_t(std::stoul(json.substr(i, 4), nullptr, 16)); i += 4; break;
                    default: s += char16_t(e);
                }
            } else if (u < 0x80) {
                s += char16_t(u);
            } else {  // UTF-8 sequence to UTF-16 units
                const int extra = u >= 0xF0 ? 3 : u >= 0xE0 ? 2 : 1;
                uint32_t cp = u & (0x3F >> extra);
                for (int k = 0; k < extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(json[i++]) & 0x3F);
                if (cp >= 0x10000) {
                    s += char16_t(0xD800 + ((cp - 0x10000) >> 10));
                    s += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
                } else {
                    s += char16_t(cp);
                }
            }
        }
        strings.push_back(s);
    }
    return strings;
}

// For failure messages: ASCII as it is, every other unit as \u{...}.
inline std::string Show(const std::u16string& s)
{
    std::ostringstream out;
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F)
            out << char(c);
        else
            out << "\\u{" << std::hex << uint32_t(c) << std::dec << "}";
    }
    return out.str();
}

}  // namespace nodetest
