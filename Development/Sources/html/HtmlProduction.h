#ifndef VANTREL_HTML_HTMLPRODUCTION_H
#define VANTREL_HTML_HTMLPRODUCTION_H

#include <string>

#include "html/Fragment.h"

namespace fmx
{
class Text;
}

namespace vtl::html
{
// Appends one paragraph: its wrapper (if it has a tag, after the escalations), then each non-empty fragment.
void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, fmx::Text &output);
std::string createTag(const std::string &name, const std::string &classes, const std::string &style);
// Rewrites the text with "&", "<", ">", no-break spaces and line breaks made safe for HTML.
void addEntitiesAndFixEndlines(fmx::Text &text);
} // namespace vtl::html

#endif
