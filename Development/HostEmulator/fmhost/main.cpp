// fmhost: loads a plug-in into the host emulator and evaluates calculations with it.
#include "FMHost/Host.h"
#include "calc/Engine.h"
#include "fmhost/Commands.h"
#include "fmhost/Options.h"
#include "fmhost/Output.h"
#include "fmhost/PluginHost.h"
#include "fmhost/ScriptReader.h"
#include "fmhost/Sessions.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fmhost
{
namespace
{
constexpr int kExitOK = 0;
constexpr int kExitCalculationFailed = 1;
constexpr int kExitUsage = 2;

// Ctrl-C or a termination request stops after the calculation in progress, so that the plug-in still gets its
// shutdown message. The handler is installed without SA_RESTART, so a prompt waiting for input returns at once.
volatile sig_atomic_t gStopRequested = 0;

void requestStop(int) { gStopRequested = 1; }

void installStopHandlers()
{
    struct sigaction action = {};
    action.sa_handler = &requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

class Runner
{
public:
    Runner(Sessions &sessions, bool json) : sessions_(sessions), json_(json) {}

    // A ":" command or a calculation.
    void run(const std::string &line)
    {
        if (!isCommand(line))
            return evaluate(line);
        CommandContext context{sessions_, std::cout, gStopRequested};
        std::string error;
        if (runCommand(context, line, error))
            return;
        failed_ = true;
        std::cerr << "fmhost: " << error << " in: " << line << std::endl;
    }

    bool failed() const { return failed_; }

private:
    void evaluate(const std::string &calculation)
    {
        emu::calc::resetLastFailure();
        FMHost::Result result = sessions_.current().Evaluate(calculation);
        std::string line = json_ ? jsonLine(calculation, result.error, result.error ? "" : FMHost::TypeName(result.type),
                                            result.error ? "" : result.text)
                                 : (result.error ? "?" : plainLine(result.text));
        std::cout << line << '\n' << std::flush;
        if (result.error)
        {
            failed_ = true;
            reportFailure(calculation, result.error);
        }
    }

    static void reportFailure(const std::string &calculation, int code)
    {
        const emu::calc::Failure &failure = emu::calc::lastFailure();
        std::string reason = failure.code == code && !failure.message.empty()
                                 ? failure.message + " (at character " + std::to_string(failure.position + 1) + ")"
                                 : emu::calc::describeError(static_cast<short>(code));
        std::cerr << "fmhost: error " << code << ": " << reason << " in: " << calculation << std::endl;
    }

    Sessions &sessions_;
    bool json_;
    bool failed_ = false;
};

bool readScript(const std::string &path, std::string &script, std::string &error)
{
    if (path == "-")
    {
        std::ostringstream buffer;
        buffer << std::cin.rdbuf();
        script = buffer.str();
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        error = "cannot read script " + path;
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    script = buffer.str();
    return true;
}

int run(const Options &options)
{
    // Scripts are read before the plug-in starts, so that a wrong path is a usage error with no side effects.
    std::vector<std::string> calculations;
    std::string error;
    for (const CalculationSource &source : options.sources)
    {
        if (!source.isScript)
        {
            calculations.push_back(source.text);
            continue;
        }
        std::string script;
        if (!readScript(source.text, script, error))
        {
            std::cerr << "fmhost: " << error << std::endl;
            return kExitUsage;
        }
        for (std::string &calculation : splitScript(script))
            calculations.push_back(std::move(calculation));
    }

    installStopHandlers();
    Sessions sessions(options.files);
    if (!sessions.start(error))
    {
        std::cerr << "fmhost: " << error << std::endl;
        return kExitUsage;
    }
    PluginHost plugin;
    if (!options.noPlugin &&
        !plugin.load(options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath, error))
    {
        std::cerr << "fmhost: " << error << std::endl;
        return kExitUsage;
    }

    Runner runner(sessions, options.json);
    if (options.sources.empty())
    {
        bool interactive = isatty(STDIN_FILENO) != 0;
        std::string calculation;
        while (!gStopRequested &&
               readCalculation(std::cin, calculation, interactive ? &std::cout : nullptr, "fmhost> ", "...> ") &&
               !gStopRequested)
            runner.run(calculation);
        if (interactive)
            std::cout << std::endl;
    }
    for (std::size_t i = 0; i < calculations.size() && !gStopRequested; ++i)
        runner.run(calculations[i]);
    // As a server that stops: the clients leave, then the plug-in is shut down.
    sessions.endAll();
    plugin.unload();
    if (gStopRequested)
        std::cerr << "fmhost: stopped" << std::endl;
    return runner.failed() || gStopRequested ? kExitCalculationFailed : kExitOK;
}
} // namespace
} // namespace fmhost

int main(int argc, char **argv)
{
    using namespace fmhost;
    Options options;
    std::string error;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error))
    {
        std::cerr << "fmhost: " << error << '\n' << usageText();
        return kExitUsage;
    }
    if (options.help)
    {
        std::cout << usageText();
        return kExitOK;
    }
    try
    {
        return run(options);
    }
    catch (const std::exception &e)
    {
        std::cerr << "fmhost: " << e.what() << std::endl;
        return kExitUsage;
    }
}
