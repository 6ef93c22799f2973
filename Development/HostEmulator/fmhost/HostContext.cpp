#include "fmhost/HostContext.h"

#include "calc/Engine.h"

namespace fmhost
{
bool cHostContext::start(std::string &error)
{
    stop();
    if (!sessions_.start(error))
        return false;
    return options_.noPlugin ||
           plugin_.load(options_.pluginPath.empty() ? defaultPluginPath() : options_.pluginPath, error);
}

void cHostContext::stop()
{
    sessions_.endAll();
    plugin_.unload();
}

cEvaluation cHostContext::evaluate(const std::string &calculation)
{
    emu::calc::resetLastFailure();
    cEvaluation evaluation;
    evaluation.result = sessions_.current().Evaluate(calculation);
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
