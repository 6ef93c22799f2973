#ifndef VANTREL_IOS_SUPPORTFUNCTIONS_REGEXPPATTERNCOUNT_H
#define VANTREL_IOS_SUPPORTFUNCTIONS_REGEXPPATTERNCOUNT_H

#include <cstdint>
#include <string_view>

namespace fmlib {

// Number of matches of an ECMAScript pattern in a text (both UTF-16 units),
// counted as ECMAScript's global matching does: left to right,
// without overlap, an empty match counting once and moving on by one unit.
// Throws vtl::cRegExpError for an invalid pattern or a match that hits the limits.
int64_t RegExpPatternCount(std::u16string_view text, std::u16string_view pattern);

}  // namespace fmlib

#endif
