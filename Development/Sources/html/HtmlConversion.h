#ifndef VANTREL_HTML_HTMLCONVERSION_H
#define VANTREL_HTML_HTMLCONVERSION_H

#include <cstdint>
#include <string>

#include "html/CssFormattings.h"
#include "html/Fragment.h"
#include "html/HtmlOptions.h"
#include "html/HtmlSink.h"

namespace fmx
{
class Text;
class ExprEnv;
}

namespace vtl::html
{
// The whole conversion: the style block of the classes made, then the paragraphs, as plain text into output.
// A source naming a non-empty variable is converted line by line with the alignments the host reports.
// A result longer than `longest` characters is not made: std::length_error says so.
void transformRichtextToHTMLWithEvaluate(const fmx::Text &source, const fmx::Text &tagOption,
                                         const fmx::Text &classOption, const fmx::Text &styleOption,
                                         const fmx::ExprEnv &env, fmx::Text &output,
                                         std::uint64_t longest = kLongestHtml);
// One paragraph: assign elements, classes and styles, merge, wrap, write. Takes the fragments (leaves none).
void transformRichtextToHTML(const std::string &alignment, const ParamVector &tagParams,
                             const ParamVector &classParams, const ParamVector &styleParams,
                             FragmentVector &fragments, cClassMap &classMap, fmx::Text &body);
} // namespace vtl::html

#endif
