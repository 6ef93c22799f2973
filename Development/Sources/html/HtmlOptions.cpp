#include "html/HtmlOptions.h"

#include <algorithm>

#include "FMWrapper/FMXText.h"
#include "host/TextConversion.h"
#include "html/SafeMarkup.h"

namespace vtl::html
{
namespace
{
ParamVector::const_iterator findKey(const ParamVector &params, const std::string &key)
{
    return std::find_if(params.begin(), params.end(), [&key](const auto &pair) { return pair.first == key; });
}
} // namespace

std::vector<std::string> explode(const std::string &text, char delimiter)
{
    std::vector<std::string> pieces;
    std::string::size_type from = 0;
    while (from < text.size())
    {
        const std::string::size_type at = text.find(delimiter, from);
        if (at == std::string::npos)
        {
            pieces.push_back(text.substr(from));
            break;
        }
        pieces.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    return pieces;
}

ParamVector parseTagOrClassOrStyleParam(const fmx::Text &option, bool withValues)
{
    ParamVector params;
    if (isEmpty(option))
        return params;
    for (std::string line : explode(StringFromFmText(option), '\r'))
    {
        if (!withValues)
        {
            params.emplace_back(toLower(line), "1");
            continue;
        }
        if (toLower(line) == "all")
            line = "all=vtl";
        const std::vector<std::string> pieces = explode(line, '=');
        // The value becomes an element or class name in the output: anything but a plain name makes the line
        // as malformed as one without "=". An empty value keeps its meaning (no element, the default class).
        if (pieces.size() >= 2 && (pieces[1].empty() || isValidName(pieces[1])))
            params.emplace_back(toLower(pieces[0]), pieces[1]);
    }
    return params;
}

void addDefaultFormattingsForTag(ParamVector &tagParams)
{
    static const std::pair<const char *, const char *> kDefaults[] = {
        {"bold", "b"},   {"italic", "i"},    {"underline", "u"}, {"strikethrough", "s"},
        {"highlight", "mark"}, {"superscript", "sup"}, {"subscript", "sub"},
    };
    for (const auto &[key, element] : kDefaults)
        if (!paramVectorHasKey(tagParams, key))
            tagParams.emplace_back(key, element);
}

bool paramVectorHasKey(const ParamVector &params, const std::string &key)
{
    return findKey(params, key) != params.end();
}

std::string paramVectorGetValue(const ParamVector &params, const std::string &key)
{
    auto found = findKey(params, key);
    return found == params.end() ? std::string() : found->second;
}

void paramVectorEraseKey(ParamVector &params, const std::string &key)
{
    auto found = findKey(params, key);
    if (found != params.end())
        params.erase(found);
}
} // namespace vtl::html
