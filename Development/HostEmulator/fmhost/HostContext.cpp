#include "fmhost/HostContext.h"

#include "calc/CalcErrors.h"
#include "calc/Engine.h"

#include <new>

namespace fmhost
{
namespace
{
// Plug-ins keep their last error message in $$<Prefix>_LastErrorMessage (the prefix of their function names), the
// one place the host can read it from.
std::string explainQuestionMark(FMHost::Session &session, const std::string &function)
{
    std::size_t underscore = function.find('_');
    std::string explanation = function + " answered ?";
    if (underscore == std::string::npos)
        return explanation;
    std::string message = session.Variable("$$" + function.substr(0, underscore + 1) + "LastErrorMessage").text;
    return message.empty() ? explanation : explanation + ": " + message;
}
} // namespace

bool cHostContext::start(std::string &error)
{
    stop();
    if (!sessions_.start(error))
        return false;
    return options_.noPlugin ||
           plugin_.load(options_.pluginPath.empty() ? defaultPluginPath() : options_.pluginPath, error);
}

std::string cHostContext::location()
{
    const std::string file = session().CallingFile();
    return sessions_.currentName() + (file.empty() ? "" : ":" + file);
}

void cHostContext::stop()
{
    sessions_.endAll();
    plugin_.unload();
}

cEvaluation cHostContext::evaluate(const std::string &calculation)
{
    emu::calc::resetLastFailure();
    FMHost::TakeQuestionMarkAnswer();
    FMHost::TakeSqlFailure();
    cEvaluation evaluation;
    try
    {
        evaluation.result = sessions_.current().Evaluate(calculation);
    }
    catch (const std::bad_alloc &)
    {
        // The result was too large to hand over: the calculation fails, as one that ran out of memory does.
        evaluation.result = FMHost::Result();
        evaluation.result.error = emu::calc::kOutOfMemory;
    }
    const FMHost::SqlFailure sql = FMHost::TakeSqlFailure();
    if (sql.code != 0)
        evaluation.sqlFailure = "SQL error " + std::to_string(sql.code) + " (" + sql.message + ")";
    std::string answered = FMHost::TakeQuestionMarkAnswer();
    if (!answered.empty())
        evaluation.questionMark = explainQuestionMark(sessions_.current(), answered);
    if (int code = evaluation.result.error)
    {
        const emu::calc::Failure &failure = emu::calc::lastFailure();
        evaluation.failure = "error " + std::to_string(code) + ": " +
                             (failure.code == code && !failure.message.empty()
                                  ? failure.message + " (at character " + std::to_string(failure.position + 1) + ")"
                                  : emu::calc::describeError(static_cast<short>(code)));
    }
    return evaluation;
}
} // namespace fmhost
