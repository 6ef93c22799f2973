#ifndef VANTREL_GLOBALS_FSTRING_H
#define VANTREL_GLOBALS_FSTRING_H

#include <string>

#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXData.h"

// Host text as plain UTF-16 code units, without styles and without normalisation. char16_t is unsigned, so
// std::u16string orders keys by code unit value, a prefix before the longer key.
using FString = std::u16string;

namespace vtl
{
// The text's code units; styles are not part of the result.
FString FStringFromText(const fmx::Text &text);
// The code units of the value's text form.
FString FStringFromData(const fmx::Data &data);
}

#endif
