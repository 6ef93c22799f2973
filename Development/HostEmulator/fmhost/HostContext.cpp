#include "fmhost/HostContext.h"

#include "calc/Engine.h"

#include <unistd.h>

namespace fmhost
{
bool cHostContext::start(std::string &error)
{
    stop();
    session_ = std::make_unique<FMHost::Session>();
    for (const HostedFileOption &file : options_.files)
    {
        if (!file.sqlitePath.empty() && access(file.sqlitePath.c_str(), R_OK) != 0)
        {
            error = "cannot read SQLite database " + file.sqlitePath + " for file " + file.name;
            return false;
        }
        session_->OpenFile(file.name, file.sqlitePath);
    }
    return options_.noPlugin ||
           plugin_.load(options_.pluginPath.empty() ? defaultPluginPath() : options_.pluginPath, error);
}

void cHostContext::stop()
{
    plugin_.unload();
    session_.reset();
}

cEvaluation cHostContext::evaluate(const std::string &calculation)
{
    emu::calc::resetLastFailure();
    cEvaluation evaluation;
    evaluation.result = session_->Evaluate(calculation);
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
