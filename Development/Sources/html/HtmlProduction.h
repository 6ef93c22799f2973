#ifndef VANTREL_HTML_HTMLPRODUCTION_H
#define VANTREL_HTML_HTMLPRODUCTION_H

#include <cstdint>
#include <string>
#include <vector>

#include "html/CssFormattings.h"
#include "html/Fragment.h"

namespace fmx
{
class Text;
}

namespace vtl::html
{
class cHtmlSink;

// The tags around one fragment's characters: its elements, the innermost with the classes and the inline style
// (in a span of its own where the element would hide them).
struct cMarkup
{
    std::vector<std::uint16_t> open;
    std::vector<std::uint16_t> close;
};
cMarkup markupOf(const cFragment &fragment, const cClassMap *classMap);
// The wrapper of a paragraph: what all its fragments share moves up to it (see the escalations), then its opening
// tag is written. A paragraph without a tag writes nothing and changes nothing.
void openParagraph(cFragment &paragraph, FragmentVector &fragments, const cClassMap *classMap, cHtmlSink &output);
void closeParagraph(const cFragment &paragraph, cHtmlSink &output);

// Appends one paragraph: its wrapper (if it has a tag, after the escalations), then each non-empty fragment.
// classMap gives the CSS of the classes, so that no class or style is written where an element's default style
// would hide it; without it, classes are taken to fight nothing.
void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, fmx::Text &output,
                              const cClassMap *classMap = nullptr);
void produceHTMLfromFragments(cFragment &paragraph, FragmentVector &fragments, cHtmlSink &output,
                              const cClassMap *classMap);
std::string createTag(const std::string &name, const std::string &classes, const std::string &style);
// Rewrites the text with "&", "<", ">", the double quote, no-break spaces and line breaks made safe for HTML.
void addEntitiesAndFixEndlines(fmx::Text &text);
} // namespace vtl::html

#endif
