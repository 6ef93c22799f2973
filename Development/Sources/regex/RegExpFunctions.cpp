#include "regex/RegExpFunctions.h"

#include <cstdint>
#include <limits>
#include <string>

#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"
#include "errors/FunctionGuard.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "iOS_SupportFunctions/RegExpPatternCount.h"
#include "iOS_SupportFunctions/RegExpPerformSubstitute.h"
#include "iOS_SupportFunctions/WideText.h"

fmx::errcode Vantrel_RegExp_Substitute(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_RegExp_Substitute", env, result, [&] {
        if (args.Size() < 3)
            throw vtl::cUsageError("At least three parameters needed");
        fmx::TextUniquePtr output;
        fmlib::RegExpPerformSubstitute(*output, args);
        fmlib::SetTextResult(result, *output);
    });
}

fmx::errcode Vantrel_RegExp_PatternCount(short, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                         fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_RegExp_PatternCount", env, result, [&] {
        if (args.Size() < 2)
            throw vtl::cUsageError("At least two parameters needed");
        const fmlib::cTextUnits pattern(args.AtAsText(1));
        const fmlib::cTextUnits text(args.AtAsText(0));
        const int64_t count = fmlib::RegExpPatternCount(text.View(), pattern.View());

        fmx::FixPtUniquePtr number(0, fmx::FixPt::kDefltFixedPrecision);
        if (count <= std::numeric_limits<fmx::int32>::max())
            number->AssignInt(static_cast<fmx::int32>(count));
        else
            number->AssignDouble(static_cast<double>(count));  // exact: a count never exceeds 2^53
        result.SetAsNumber(*number, fmx::Data::kDTNumber);
    });
}
