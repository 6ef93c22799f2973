#ifndef VANTREL_IOS_SUPPORTFUNCTIONS_WIDETEXT_H
#define VANTREL_IOS_SUPPORTFUNCTIONS_WIDETEXT_H

#include <string>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"

namespace fmlib
{
// One wide character per UTF-16 unit (surrogates stay separate), up to the first zero unit.
std::wstring WStringFromFMText(const fmx::Text &text);
}

#endif
