#ifndef VANTREL_IOS_SUPPORTFUNCTIONS_HOSTVALUES_H
#define VANTREL_IOS_SUPPORTFUNCTIONS_HOSTVALUES_H

#include <string_view>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXData.h"

// Helpers between host values and the plug-in. Failing SDK calls throw std::bad_alloc / std::exception; these
// helpers catch nothing (the function guard does).
namespace fmlib
{
constexpr fmx::uint32 kNotFound = 0xFFFFFFFFu;

// Index of the first entry equal to text ignoring case (whole text, no trimming), or kNotFound.
fmx::uint32 FindFMTextInArray(const fmx::Text &text, const char *const *array, fmx::uint32 count);

// Writes code into result as a number (type Number); -1 stays -1.
void FMErrCode2FMData(fmx::int16 code, fmx::Data &result);

// Copies source into target with its type: text keeps its locale, a boolean arrives as a number, a container is
// copied as binary data; a value of any other type leaves target as it was.
void FMData2FMData(const fmx::Data &source, fmx::Data &target);

// Text results: written as text in the locale the result already carries. 8-bit text is taken in the given
// encoding (native for literals, UTF-8 for text that came out of the host).
void SetTextResult(fmx::Data &result, std::string_view text,
                   fmx::Text::Encoding encoding = fmx::Text::kEncoding_Native);
void SetTextResult(fmx::Data &result, const fmx::Text &text);
}

#endif
