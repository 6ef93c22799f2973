// fmhost: loads a plug-in into the host emulator and evaluates calculations with it.
#include "fmhost/Commands.h"
#include "fmhost/HostContext.h"
#include "fmhost/Options.h"
#include "fmhost/Output.h"
#include "fmhost/ScriptReader.h"
#include "fmhost/Signals.h"
#include "fmhost/TestRunner.h"

#include <unistd.h>

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

// Runs the items of scripts and -e options, printing each result.
class cRunner
{
public:
    cRunner(cHostContext &host, bool json) : host_(host), json_(json) {}

    void run(const ScriptItem &item)
    {
        switch (item.kind)
        {
        case ScriptItem::Kind::Calculation: evaluate(item.text); break;
        case ScriptItem::Kind::Command: command(item.text); break;
        case ScriptItem::Kind::Expectation: break; // what a test file expects; a plain run only shows results
        }
    }

    bool failed() const { return failed_; }

private:
    void evaluate(const std::string &calculation)
    {
        cEvaluation evaluation = host_.evaluate(calculation);
        const FMHost::Result &result = evaluation.result;
        std::string line = json_ ? jsonLine(calculation, result.error, result.error ? "" : FMHost::TypeName(result.type),
                                            result.error ? "" : result.text)
                                 : (result.error ? "?" : plainLine(result.text));
        std::cout << line << '\n' << std::flush;
        if (result.error)
        {
            failed_ = true;
            std::cerr << "fmhost: " << evaluation.failure << " in: " << calculation << std::endl;
        }
    }

    void command(const std::string &line)
    {
        std::string error;
        if (runCommand(line, host_, std::cout, error))
        {
            std::cout << std::flush;
            return;
        }
        failed_ = true;
        std::cerr << "fmhost: " << error << std::endl;
    }

    cHostContext &host_;
    bool json_;
    bool failed_ = false;
};

bool readScript(const std::string &path, std::string &script, std::string &error)
{
    std::ostringstream buffer;
    if (path == "-")
        buffer << std::cin.rdbuf();
    else
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
        {
            error = "cannot read script " + path;
            return false;
        }
        buffer << in.rdbuf();
    }
    script = buffer.str();
    return true;
}

// Calculations from standard input as they arrive, so that another program can drive fmhost line by line.
void runStandardInput(cRunner &runner)
{
    bool interactive = isatty(STDIN_FILENO) != 0;
    cLineJoiner joiner(!interactive);
    std::vector<ScriptItem> items;
    std::string line;
    for (int number = 1; !stopRequested(); ++number)
    {
        if (interactive)
            std::cout << (joiner.pending() ? "...> " : "fmhost> ") << std::flush;
        if (!std::getline(std::cin, line))
            break;
        joiner.add(line, number, items);
        for (const ScriptItem &item : items)
            if (!stopRequested())
                runner.run(item);
        items.clear();
    }
    if (!stopRequested())
        joiner.finish(items);
    for (const ScriptItem &item : items)
        runner.run(item);
    if (interactive)
        std::cout << std::endl;
}

int run(const Options &options)
{
    installStopHandlers();
    if (options.test)
        return runTests(options, std::cout, std::cerr);

    // Scripts are read before the plug-in starts, so that a wrong path is a usage error with no side effects.
    std::vector<ScriptItem> items;
    std::string error;
    for (const CalculationSource &source : options.sources)
    {
        if (!source.isScript)
        {
            items.push_back({ScriptItem::Kind::Calculation, source.text, 0});
            continue;
        }
        std::string script;
        if (!readScript(source.text, script, error))
        {
            std::cerr << "fmhost: " << error << std::endl;
            return kExitUsage;
        }
        for (ScriptItem &item : fmhost::readScript(script))
            items.push_back(std::move(item));
    }

    cHostContext host(options);
    if (!host.start(error))
    {
        std::cerr << "fmhost: " << error << std::endl;
        return kExitUsage;
    }
    cRunner runner(host, options.json);
    if (options.sources.empty())
        runStandardInput(runner);
    for (std::size_t i = 0; i < items.size() && !stopRequested(); ++i)
        runner.run(items[i]);
    host.stop();
    if (stopRequested())
        std::cerr << "fmhost: stopped" << std::endl;
    return runner.failed() || stopRequested() ? kExitCalculationFailed : kExitOK;
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
