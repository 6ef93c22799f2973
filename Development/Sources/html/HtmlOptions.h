#ifndef VANTREL_HTML_HTMLOPTIONS_H
#define VANTREL_HTML_HTMLOPTIONS_H

#include <string>
#include <utility>
#include <vector>

namespace fmx
{
class Text;
}

namespace vtl::html
{
// One (key, value) pair per option line, in the order given; a lookup takes the first pair with the key.
using ParamVector = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> explode(const std::string &text, char delimiter);
// Tag and class options have key=value lines (withValues); the style option lists keys only.
ParamVector parseTagOrClassOrStyleParam(const fmx::Text &option, bool withValues);
void addDefaultFormattingsForTag(ParamVector &tagParams);

bool paramVectorHasKey(const ParamVector &params, const std::string &key);
std::string paramVectorGetValue(const ParamVector &params, const std::string &key);
void paramVectorEraseKey(ParamVector &params, const std::string &key);
} // namespace vtl::html

#endif
