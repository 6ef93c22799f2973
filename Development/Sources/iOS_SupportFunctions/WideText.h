#ifndef VANTREL_IOS_SUPPORTFUNCTIONS_WIDETEXT_H
#define VANTREL_IOS_SUPPORTFUNCTIONS_WIDETEXT_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"

namespace fmlib
{
// The UTF-16 units of a host text up to its first zero unit, copied once out of the host (the one copy the SDK
// requires): the buffer is not cleared first, and the zero unit is looked for in each piece while it is still
// in the cache, so long texts cost no further pass.
class cTextUnits
{
public:
    explicit cTextUnits(const fmx::Text &text);
    std::u16string_view View() const { return {units_.get(), size_}; }

private:
    std::unique_ptr<char16_t[]> units_;
    size_t size_ = 0;
};

// Position of the first zero unit, or size when there is none.
size_t FindZeroUnit(const char16_t *units, size_t size);

// One wide character per UTF-16 unit (surrogates stay separate), up to the first zero unit.
std::wstring WStringFromFMText(const fmx::Text &text);
}

#endif
