#include "system/NotOnLinux.h"

#include "errors/ErrorCodes.h"
#include "errors/FunctionGuard.h"
#include "errors/LastError.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace
{
fmx::errcode AnswerNotOnLinux(const char *name, const char *message, const fmx::ExprEnv &env, fmx::Data &result)
{
    return vtl::UngovernedCall(name, env, result, [&] {
        const fmx::errcode error = vtl::SetLastError(vtl::kNotOnLinuxError, message, env);
        fmlib::FMErrCode2FMData(vtl::kNotOnLinuxError, result);
        return error;
    });
}

const char kUnsupported[] = "Linux doesn't support this function.";
}

#define VANTREL_NOT_ON_LINUX(name, message)                                                                        \
    fmx::errcode name(short, const fmx::ExprEnv &env, const fmx::DataVect &, fmx::Data &result)                  \
    {                                                                                                              \
        return AnswerNotOnLinux(#name, message, env, result);                                                             \
    }
VANTREL_NOT_ON_LINUX(Vantrel_Encode, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_Decode, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_MergeText, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_DoFileMakerScript, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_DoSystemScript, "Not implemented in Linux.")
VANTREL_NOT_ON_LINUX(Vantrel_GetDefaultPrinter, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_SetDefaultPrinter, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_GetPrinterNames, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_GetSpecialWindows, kUnsupported)
VANTREL_NOT_ON_LINUX(Vantrel_SetScriptShortcut, kUnsupported)
