#include "errors/FunctionGuard.h"

#include <new>

#include "errors/AllowList.h"
#include "errors/ErrorCodes.h"
#include "errors/LastError.h"
#include "host/FMUtils.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "journal/Journal.h"

namespace vtl
{
namespace
{
fmx::errcode RecordUsageError(const cUsageError &error, const fmx::ExprEnv &env, fmx::Data &result)
{
    fmlib::FMErrCode2FMData(kUsageError, result);
    return SetLastError(kUsageError, error.what(), env);
}

constexpr char kAnswered[] = "the function answered 2400";
constexpr char kNotRecorded[] = "the host failed while the error was recorded";

// Told after the error is recorded, so that the caller's answer never depends on it. env: the file's name may be
// asked for (not when the host has just failed). The host may be failing (out of memory): whatever fails here only
// loses the journal's line.
void JournalException(const char *functionName, const char *what, const char *outcome, const fmx::ExprEnv *env) noexcept
{
    if (!JournalOn())
        return;
    try
    {
        const std::string function = functionName != nullptr ? functionName : "a Vantrel function";
        std::string file = "?";
        try
        {
            if (env != nullptr)
                file = cFMUtils::callingFileName(*env);
        }
        catch (...)
        {
        }
        Journal(eJournalKind::kException, file, function,
                "exception in " + function + " in file " + file + ": " + what + " (" + outcome + ")");
    }
    catch (...)
    {
    }
}
}

fmx::errcode GuardedCallWith(const char *functionName, bool governed, const fmx::ExprEnv &env, fmx::Data &result,
                             GuardedWork work, void *context) noexcept
{
    try
    {
        try
        {
            if (governed && !isFunctionAllowed(functionName, env, result))
                return 0;
            return work(context);
        }
        catch (const cUsageError &error)
        {
            return RecordUsageError(error, env, result);
        }
        catch (const std::exception &error)
        {
            const fmx::errcode recorded = ProcessSTDException(error, result, env, false);
            JournalException(functionName, error.what(), kAnswered, &env);
            return recorded;
        }
        catch (...)
        {
            const fmx::errcode recorded = ProcessFatalException(result, env, false);
            JournalException(functionName, "an exception of unknown type", kAnswered, &env);
            return recorded;
        }
    }
    // Recording the error failed too: the host is out of memory or broken. Tell it so, and throw nothing.
    catch (const std::bad_alloc &)
    {
        JournalException(functionName, "std::bad_alloc", kNotRecorded, nullptr);
        return kHostMemoryError;
    }
    catch (...)
    {
        JournalException(functionName, "an exception", kNotRecorded, nullptr);
        return kExceptionError;
    }
}
}
