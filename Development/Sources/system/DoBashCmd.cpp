#include "system/DoBashCmd.h"

#include <chrono>
#include <string>
#include <vector>

#include "errors/AllowList.h"
#include "errors/ErrorCodes.h"
#include "errors/FunctionGuard.h"
#include "errors/LastError.h"
#include "host/FMUtils.h"
#include "host/NativeText.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "journal/Journal.h"
#include "system/ShellCommand.h"

namespace
{
// The caller learns why the output stops short; the administrator learns which file runs such commands.
void ReportTimeLimit(int seconds, const fmx::ExprEnv &env)
{
    const std::string limit = std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
    vtl::SetLastError(vtl::kShellTimeLimitError,
                      std::string(vtl::kShellCommandName) + ": the time limit of " + limit +
                          " (shell-command-timeout) ended the command; its output until then is returned",
                      env);
    if (!vtl::JournalOn())
        return;
    try // the journal's line may be lost, the answer stays
    {
        const std::string file = cFMUtils::callingFileName(env);
        vtl::Journal(vtl::eJournalKind::kTimeLimit, file, vtl::kShellCommandName,
                     std::string(vtl::kShellCommandName) + " in file " + file + " was ended by the time limit of " +
                         limit);
    }
    catch (...)
    {
    }
}
}

fmx::errcode Vantrel_DoBashCmd(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    // The allow-list governs this function only when the administrator opted in, so it is asked inside the boundary.
    return vtl::UngovernedCall(vtl::kShellCommandName, env, result, [&] {
        vtl::cAllowListOptions options;
        if (!vtl::isShellCommandAllowed(env, result, &options))
            return;
        std::vector<char> output(slib::kShellBufferSize, '\0');
        slib::eShellEnd end = slib::eShellEnd::kNotStarted;
        if (args.Size() > 0)
        {
            const std::string command = NativeBytesFromFmText(args.AtAsText(0), slib::kShellBufferSize);
            end = slib::RunShellCommand(command.c_str(), output.data(), output.size(),
                                        std::chrono::seconds(options.shellCommandTimeout));
        }
        fmlib::SetTextResult(result, output.data());
        if (end == slib::eShellEnd::kTimeLimit)
            ReportTimeLimit(options.shellCommandTimeout, env);
    });
}
