#include "iOS_SupportFunctions/RegExpPatternCount.h"

#include "regex/cRegExp.h"

namespace fmlib {

int64_t RegExpPatternCount(std::u16string_view text, std::u16string_view pattern)
{
    vtl::cRegExp expression(pattern);
    return expression.countMatches(text);
}

}  // namespace fmlib
