// Patterns come straight from calculations: the translator and the engine must answer every one with a count or
// an error, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "regex/ECMAScriptTranslator.h"
#include "regex/cRegExp.h"
#include "regex/cRegExpError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Pairs of bytes are UTF-16 units, so surrogates and every BMP character reach the translator.
    std::u16string pattern;
    for (size_t i = 0; i + 1 < size && pattern.size() < 512; i += 2)
        pattern.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    static const std::u16string subject = u"aaa bbb 123 x\r\ny\u2028z \U0001F600 ab12 <p>AbC</p> aaaaaaaaaaaaaaaaaaaa!";
    try
    {
        vtl::TranslateECMAScriptPattern(pattern);
        vtl::cRegExp expression(pattern, std::chrono::milliseconds(200));
        expression.countMatches(subject);
    }
    catch (const vtl::cRegExpError &)
    {
    }
    return 0;
}
