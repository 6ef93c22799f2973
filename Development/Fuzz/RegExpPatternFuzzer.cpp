// Patterns come straight from calculations: the translator and the engine must answer every one with a count or
// an error, never a crash or a hang. Subjects grow, so that a pattern whose work grows faster than its text and
// escapes the time budget shows as an input that runs past the fuzzer's time limit.
//
// Input: UTF-16 units (pairs of bytes). The units up to the first zero unit are the pattern; the units after it,
// up to a second zero unit, are a run repeated to each subject length, and the units after that its tail.
#include <cstddef>
#include <cstdint>
#include <string>

#include "regex/ECMAScriptTranslator.h"
#include "regex/cRegExp.h"
#include "regex/cRegExpError.h"

namespace
{
constexpr size_t kLongestPattern = 512;
constexpr size_t kLongestSubject = 262144;

std::u16string Subject(const std::u16string &run, const std::u16string &tail, size_t length)
{
    std::u16string subject;
    subject.reserve(length + tail.size());
    while (subject.size() < length)
        subject.append(run, 0, length - subject.size());
    return subject + tail;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::u16string parts[3];
    size_t part = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
    {
        const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0 && part < 2)
            ++part;
        else if (part > 0 || parts[0].size() < kLongestPattern)
            parts[part].push_back(unit);
    }
    const std::u16string &pattern = parts[0];
    static const std::u16string mixed = u"aaa bbb 123 x\r\ny\u2028z \U0001F600 ab12 <p>AbC</p> aaaaaaaaaaaaaaaaaaaa!";
    const std::u16string &run = parts[1].empty() ? mixed : parts[1];
    try
    {
        vtl::TranslateECMAScriptPattern(pattern);
        // One budget for all subjects: 200 ms of matching per input, however long its subjects.
        vtl::cRegExp expression(pattern, std::chrono::milliseconds(200));
        expression.countMatches(mixed);
        for (size_t length = 64; length <= kLongestSubject; length *= 8)
            expression.countMatches(Subject(run, parts[2], length));
    }
    catch (const vtl::cRegExpError &)
    {
    }
    return 0;
}
