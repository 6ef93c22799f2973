#include "fmhost/VariableList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <tuple>

namespace fmhost
{
namespace
{
// What a variable sorts by: local after global, then its name without the repetition, then the repetition.
struct cSortKey
{
    bool local = false;
    std::string name;
    long long repetition = 1;

    bool operator<(const cSortKey &other) const
    {
        return std::tie(local, name, repetition) < std::tie(other.local, other.name, other.repetition);
    }
};

cSortKey sortKey(const std::string &name)
{
    cSortKey key;
    key.local = name.compare(0, 2, "$$") != 0;
    const std::size_t bracket = name.find('[');
    key.name = name.substr(0, bracket);
    std::transform(key.name.begin(), key.name.end(), key.name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (bracket != std::string::npos)
        key.repetition = std::strtoll(name.c_str() + bracket + 1, nullptr, 10);
    return key;
}

// Characters, not bytes, so that the value column stays straight after a name such as $größe.
std::size_t displayWidth(const std::string &utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}
} // namespace

std::string variableList(const std::vector<std::pair<std::string, FMHost::Result>> &variables)
{
    std::vector<std::pair<cSortKey, const std::pair<std::string, FMHost::Result> *>> shown;
    std::size_t width = 0;
    for (const auto &variable : variables)
    {
        if (variable.second.text.empty())
            continue;
        shown.emplace_back(sortKey(variable.first), &variable);
        width = std::max(width, displayWidth(variable.first));
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    const std::string indent(width + 2, ' ');
    std::string out;
    for (const auto &entry : shown)
    {
        const std::string &name = entry.second->first;
        out += name + std::string(width + 2 - displayWidth(name), ' ');
        for (char c : entry.second->second.text)
            out += c == '\r' || c == '\n' ? "\n" + indent : std::string(1, c);
        out += '\n';
    }
    return out;
}
} // namespace fmhost
