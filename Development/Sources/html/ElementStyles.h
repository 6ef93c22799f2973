#ifndef VANTREL_HTML_ELEMENTSTYLES_H
#define VANTREL_HTML_ELEMENTSTYLES_H

#include <string>
#include <vector>

#include "html/CssFormattings.h"
#include "html/Fragment.h"

namespace vtl::html
{
// What a browser's default style sheet gives the elements the options may name, so that the generated CSS does
// not fight it. Element names are compared without regard to case.

// True when the element draws this property as a formatting of its own ("s" its line-through, "sup" its raised
// position): a class or style on the same element would replace it instead of adding to it.
bool elementDrawsProperty(const std::string &element, const std::string &property);
// True when the paragraph may carry the property for all of its fragments: a browser applies it there to the text
// (not "vertical-align"), and no element of a fragment sets it anew ("mark" its colour, "sup" a smaller size).
bool paragraphCanCarry(const std::string &property, const FragmentVector &fragments);
// The property names of a serialised CSS text such as color:#ff0000;font-size:12px;
std::vector<std::string> cssProperties(const std::string &cssText);
// The property names of every class, as the class map holds them; a class it does not know adds none.
std::vector<std::string> classProperties(const std::vector<std::string> &classes, const cClassMap &classMap);
} // namespace vtl::html

#endif
