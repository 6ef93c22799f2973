#include "network/NetworkFunctions.h"

#include <string>

#include "errors/FunctionGuard.h"
#include "errors/LastError.h"
#include "host/NativeText.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "network/NameResolution.h"
#include "network/PublicIPAddress.h"

namespace
{
// The argument is handed to the resolver as a C string of at most this many bytes with its NUL.
constexpr std::size_t kLookUpArgumentSize = 1024;

// Both look-ups answer in the result text, whether they found something or not.
fmx::errcode answerLookUp(const char *name, const char *missingArgument, std::string (*lookUp)(const std::string &),
                          const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall(name, env, result, [&] {
        if (args.Size() == 0)
            throw vtl::cUsageError(missingArgument);
        fmlib::SetTextResult(result, lookUp(NativeBytesFromFmText(args.AtAsText(0), kLookUpArgumentSize)));
    });
}
}

fmx::errcode Vantrel_GetClientPublicIPAddress(short, const fmx::ExprEnv &env, const fmx::DataVect &,
                                              fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_GetClientPublicIPAddress", env, result, [&] {
        std::string address;
        const int code = slib::FindClientPublicIP(slib::PublicIPServices(), address);
        if (code == slib::kPublicIPFound)
        {
            fmlib::SetTextResult(result, address);
            return;
        }
        vtl::SetLastError(static_cast<fmx::int16>(code), "Public IP is not available", env);
        fmlib::FMErrCode2FMData(static_cast<fmx::int16>(code), result);
    });
}

fmx::errcode Vantrel_GetNameForIP(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return answerLookUp("Vantrel_GetNameForIP", "IP address is not specified", slib::NameForIP, env, args, result);
}

fmx::errcode Vantrel_GetIPforName(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return answerLookUp("Vantrel_GetIPforName", "Host name is not specified", slib::IPForName, env, args, result);
}
