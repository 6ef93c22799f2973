#include "functions/InfoFunctions.h"

#include <sys/time.h>

#include "FMWrapper/FMXDateTime.h"
#include "errors/FunctionGuard.h"
#include "iOS_SupportFunctions/HostClock.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace
{
// Indexed by the host's native type code.
const char *const kTypeNames[] = {"", "Text", "Number", "Date", "Time", "Timestamp", "Container", "Boolean"};
}

fmx::errcode Vantrel_ValueType(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_ValueType", env, result, [&] {
        const char *name = "";
        if (args.Size() > 0)
        {
            // A code the host does not define answers the empty text, like an invalid value.
            const auto type = static_cast<unsigned>(args.At(0).GetNativeType());
            if (type < sizeof kTypeNames / sizeof kTypeNames[0])
                name = kTypeNames[type];
        }
        fmlib::SetTextResult(result, name);
    });
}

fmx::errcode Vantrel_GetTimestamp(short, const fmx::ExprEnv &env, const fmx::DataVect &, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_GetTimestamp", env, result, [&] {
        // Always UTC: the server's own time zone does not matter.
        struct timeval now = {};
        gettimeofday(&now, nullptr);
        fmx::DateTimeUniquePtr timestamp;
        fmlib::SetDateTimeFromHostSeconds(*timestamp, fmlib::HostSecondsFromClock(now.tv_sec, now.tv_usec, 0, 0));
        result.SetAsTimeStamp(*timestamp, fmx::Data::kDTTimeStamp);
    });
}
