#include "iOS_SupportFunctions/RegExpPatternCount.h"

#include "regex/cRegExp.h"

namespace fmlib {

int64_t RegExpPatternCount(const std::wstring& text, const std::wstring& pattern)
{
    vtl::cRegExp expression(pattern);
    return expression.countMatches(text);
}

}  // namespace fmlib
