// fmhost: loads a plug-in into the host emulator and evaluates calculations with it.
#include "fmhost/HostContext.h"
#include "fmhost/HugePages.h"
#include "fmhost/Options.h"
#include "fmhost/Prompt.h"
#include "fmhost/Runner.h"
#include "fmhost/ScriptReader.h"
#include "fmhost/Signals.h"
#include "fmhost/TestRunner.h"

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
            bool command = source.text.compare(0, 1, ":") == 0;
            items.push_back({command ? ScriptItem::Kind::Command : ScriptItem::Kind::Calculation, source.text, 0});
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
    cRunner runner(host, options.json   ? cRunner::Style::Json
                         : options.echo ? cRunner::Style::Echo
                                        : cRunner::Style::Plain);
    bool prompt = false;
    if (options.sources.empty())
        prompt = readStandardInput(
            [&](const ScriptItem &item) {
                runner.run(item);
                return !host.quitRequested();
            },
            [&host]() { return host.location(); });
    for (std::size_t i = 0; i < items.size() && !stopRequested() && !host.quitRequested(); ++i)
        runner.run(items[i]);
    host.stop();
    if (stopRequested())
    {
        std::cerr << "fmhost: stopped" << std::endl;
        return kExitCalculationFailed;
    }
    // Someone who leaves the prompt has seen each failure as it happened; only scripts and -e report them by status.
    return runner.failed() && !prompt ? kExitCalculationFailed : kExitOK;
}
} // namespace
} // namespace fmhost

int main(int argc, char **argv)
{
    using namespace fmhost;
    preferHugePages(argv);
    Options options;
    std::string error;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error))
    {
        std::cerr << usageError(error) << std::endl;
        return kExitUsage;
    }
    if (options.help || options.version)
    {
        std::cout << (options.help ? std::string(usageText()) : versionLine() + "\n");
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
