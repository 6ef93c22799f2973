#include "iOS_SupportFunctions/RegExpPerformSubstitute.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "FMWrapper/FMXTextStyle.h"
#include "host/ResultLimits.h"
#include "iOS_SupportFunctions/WideText.h"
#include "regex/cRegExp.h"
#include "regex/cRegExpError.h"

namespace fmlib
{
namespace
{
constexpr std::uint64_t kLongestResult = fmlib::kLongestResultText;
}

void RegExpPerformSubstitute(fmx::Text &output, const fmx::DataVect &dataVect)
{
    RegExpPerformSubstitute_Impl(output, dataVect);
}

void RegExpPerformSubstitute_Impl(fmx::Text &output, const fmx::DataVect &dataVect)
{
    if (dataVect.Size() <= 2)
        throw std::logic_error("dataVect.Size() > 2");
    const fmx::Text &text = dataVect.AtAsText(0);
    const fmx::Text &pattern = dataVect.AtAsText(1);

    fmx::CharacterStyleUniquePtr filter;
    fmx::CharacterStyleUniquePtr matchStyle;
    bool filterOn = false;
    if (pattern.GetSize() > 0)
    {
        pattern.GetStyle(*filter, 0);
        filterOn = !filter->IsAllDisabled();
    }

    const cTextUnits units(text);
    const std::u16string_view subject = units.View();
    vtl::cRegExp expression(cTextUnits(pattern).View());
    const fmx::uint32 handledGroups = std::min<fmx::uint32>(expression.groupCount(), dataVect.Size() - 2);

    // Input before `copied` is in the output already: no text is ever copied twice.
    fmx::uint32 copied = 0;
    auto copyInputUpTo = [&](size_t end) {
        if (end > copied)
            output.AppendText(text, copied, static_cast<fmx::uint32>(end - copied));
        copied = static_cast<fmx::uint32>(end);
    };

    size_t position = 0;
    while (handledGroups > 0 && expression.searchNext(subject, position))
    {
        if (!expression.groupMatched(1) || expression.groupStart(1) == expression.groupEnd(1))
            break;
        bool substitute = true;
        if (filterOn)
        {
            text.GetStyle(*matchStyle, static_cast<fmx::uint32>(expression.groupStart(0)));
            substitute = *matchStyle == *filter;
        }
        if (!substitute)
            continue;  // the whole match is copied with the next piece
        for (fmx::uint32 group = 1; group <= handledGroups; ++group)
        {
            // A group that did not take part has no place to put a replacement; one that starts before `copied`
            // lies within a group replaced already.
            if (!expression.groupMatched(group) || expression.groupStart(group) < copied)
                continue;
            copyInputUpTo(expression.groupStart(group));
            const fmx::Text &replacement = dataVect.AtAsText(group + 1);
            // Long replacements of many matches grow faster than the time budget can notice.
            if (std::uint64_t(output.GetSize()) + replacement.GetSize() > kLongestResult)
                throw vtl::cRegExpError("Regular expression substitution gave up: the result would be longer than " +
                                        std::to_string(kLongestResult) + " characters");
            output.AppendText(replacement);
            copied = static_cast<fmx::uint32>(expression.groupEnd(group));
        }
        // The rest of the match (text after the last replaced group) is copied with the next piece.
    }
    if (copied < text.GetSize())
        output.AppendText(text, copied);
}
}
