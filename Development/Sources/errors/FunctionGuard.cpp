#include "errors/FunctionGuard.h"

#include <new>

#include "errors/AllowList.h"
#include "errors/ErrorCodes.h"
#include "errors/LastError.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace vtl
{
namespace
{
fmx::errcode RecordUsageError(const cUsageError &error, const fmx::ExprEnv &env, fmx::Data &result)
{
    fmlib::FMErrCode2FMData(kUsageError, result);
    return SetLastError(kUsageError, error.what(), env);
}
}

fmx::errcode GuardedCallWith(const char *allowListName, const fmx::ExprEnv &env, fmx::Data &result, GuardedWork work,
                             void *context) noexcept
{
    try
    {
        try
        {
            if (allowListName != nullptr && !isFunctionAllowed(allowListName, env, result))
                return 0;
            return work(context);
        }
        catch (const cUsageError &error)
        {
            return RecordUsageError(error, env, result);
        }
        catch (const std::exception &error)
        {
            return ProcessSTDException(error, result, env, false);
        }
        catch (...)
        {
            return ProcessFatalException(result, env, false);
        }
    }
    // Recording the error failed too: the host is out of memory or broken. Tell it so, and throw nothing.
    catch (const std::bad_alloc &)
    {
        return kHostMemoryError;
    }
    catch (...)
    {
        return kExceptionError;
    }
}
}
