#ifndef VANTREL_HTML_HTMLPRODUCTION_H
#define VANTREL_HTML_HTMLPRODUCTION_H

#include <string>

#include "html/CssFormattings.h"
#include "html/Fragment.h"

namespace fmx
{
class Text;
}

namespace vtl::html
{
// Appends one paragraph: its wrapper (if it has a tag, after the escalations), then each non-empty fragment.
// classMap gives the CSS of the classes, so that no class or style is written where an element's default style
// would hide it; without it, classes are taken to fight nothing.
void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, fmx::Text &output,
                              const cClassMap *classMap = nullptr);
std::string createTag(const std::string &name, const std::string &classes, const std::string &style);
// Rewrites the text with "&", "<", ">", the double quote, no-break spaces and line breaks made safe for HTML.
void addEntitiesAndFixEndlines(fmx::Text &text);
} // namespace vtl::html

#endif
