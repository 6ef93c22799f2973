#include "functions/Selectors.h"

#include <cmath>

#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXFixPt.h"
#include "errors/FunctionGuard.h"
#include "errors/LastError.h"
#include "errors/UsageError.h"
#include "frame/InlineDoc.h"
#include "globals/Dictionary.h"
#include "iOS_SupportFunctions/HostClock.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "sql/SortNumberInFMText.h"

namespace
{
const char kNotEnoughParameters[] = "Not enough parameters";
const char kUnrecognizedSelector[] = "Unrecognized selector";

template <std::size_t N>
fmx::uint32 selectorIndex(const fmx::Text &selector, const char *const (&selectors)[N])
{
    return fmlib::FindFMTextInArray(selector, selectors, static_cast<fmx::uint32>(N));
}

void writeInlineDocumentationState(fmx::Data &result)
{
    fmlib::SetTextResult(result, getHumanReadableState());
}

// "on"/"off", "True"/"False" or 1/0 (any letter case) switches the setting; the result is the state it is now in.
void setInlineDocumentation(const fmx::Text &newValue, fmx::Data &result)
{
    static const char *const kStates[] = {"on", "true", "1", "off", "false", "0"};
    const fmx::uint32 state = selectorIndex(newValue, kStates);
    if (state < 3)
        turnOnInlineDoc();
    else if (state < 6)
        turnOffInlineDoc();
    else
        throw vtl::cUsageError("Unknown value of parameter newValue");
    writeInlineDocumentationState(result);
}

// Seconds, finite and at least 1: a shorter interval would make every call check the bound keys.
void setDieInterval(const fmx::Data &newValue, const fmx::FixPt &seconds, fmx::Data &result)
{
    const double interval = seconds.AsFloat();
    if (!std::isfinite(interval) || !(interval >= vtl::kShortestCleanPeriod))
        throw vtl::cUsageError("globalDieInterval must be a number of seconds, at least 1");
    vtl::gCleanPeriod.store(interval);
    fmlib::FMData2FMData(newValue, result);
}

void writeTimestampNow(fmx::Data &result)
{
    fmx::DateTimeUniquePtr now;
    fmlib::SetDateTimeToNow(*now);
    result.SetAsTimeStamp(*now);
}
}

fmx::errcode Vantrel_Get(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_Get", env, result, [&] {
        const fmx::uint32 count = args.Size();
        if (count < 1)
            throw vtl::cUsageError(kNotEnoughParameters);
        static const char *const kSelectors[] = {"lastError", "lastErrorMessage", "timestamp",
                                                 "sort",      "stderr",           "inlineDocumentation"};
        switch (selectorIndex(args.AtAsText(0), kSelectors))
        {
        case 0:
            vtl::GetLastErrorCode(result, env);
            break;
        case 1:
            vtl::GetLastErrorMessage(result, env);
            break;
        case 2:
            writeTimestampNow(result);
            break;
        case 3:
            // A sort without a list is a usage error, not a host failure.
            if (count < 2)
                throw vtl::cUsageError(kNotEnoughParameters);
            SortNumberInFMText(args.AtAsText(1), result);
            break;
        case 4:
            vtl::GetLastScriptStderr(result, env);
            break;
        case 5:
            writeInlineDocumentationState(result);
            break;
        default:
            throw vtl::cUsageError(kUnrecognizedSelector);
        }
    });
}

fmx::errcode Vantrel_Set(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_Set", env, result, [&] {
        if (args.Size() < 2)
            throw vtl::cUsageError(kNotEnoughParameters);
        static const char *const kSelectors[] = {"globalDieInterval", "inlineDocumentation"};
        switch (selectorIndex(args.AtAsText(0), kSelectors))
        {
        case 0:
            setDieInterval(args.At(1), args.AtAsNumber(1), result);
            break;
        case 1:
            setInlineDocumentation(args.AtAsText(1), result);
            break;
        default:
            throw vtl::cUsageError(kUnrecognizedSelector);
        }
    });
}
