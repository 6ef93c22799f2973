#include "frame/Version.h"

#include <cstdio>
#include <string>

#include "errors/FunctionGuard.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace
{
// Looked up ignoring case, in this order; "short" and any unknown selector give the short version.
const char *const kSelectors[] = {"short", "long", "platform", "autoupdate"};

std::string VersionText(fmx::uint32 selector)
{
    switch (selector)
    {
    case 1:
        return std::string(vtl::kPluginName) + " " + vtl::kShortVersion;
    case 2:
        return "Linux";
    case 3:
    {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d", vtl::kVersionMajor, vtl::kVersionMinor,
                      vtl::kVersionRevision, vtl::kVersionBuild);
        return digits;
    }
    default:
        return vtl::kShortVersion;
    }
}
}

fmx::errcode Vantrel_Version(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_Version", env, result, [&] {
        fmx::uint32 selector = 0;
        if (args.Size() > 0)
            selector = fmlib::FindFMTextInArray(args.AtAsText(0), kSelectors, 4);
        fmlib::SetTextResult(result, VersionText(selector));
    });
}
