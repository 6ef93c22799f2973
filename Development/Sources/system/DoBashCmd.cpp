#include "system/DoBashCmd.h"

#include <string>
#include <vector>

#include "errors/AllowList.h"
#include "errors/FunctionGuard.h"
#include "host/NativeText.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "system/ShellCommand.h"

fmx::errcode Vantrel_DoBashCmd(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    // The allow-list governs this function only when the administrator opted in, so it is asked inside the boundary.
    return vtl::GuardedCall(nullptr, env, result, [&] {
        if (!vtl::isShellCommandAllowed(env, result))
            return;
        std::vector<char> output(slib::kShellBufferSize, '\0');
        if (args.Size() > 0)
        {
            const std::string command = NativeBytesFromFmText(args.AtAsText(0), slib::kShellBufferSize);
            slib::perform_shell_command_and_get_result(command.c_str(), output.data(), output.size());
        }
        fmlib::SetTextResult(result, output.data());
    });
}
