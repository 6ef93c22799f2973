#include "fmhost/Options.h"

namespace fmhost
{
namespace
{
bool endsWithIgnoringCase(const std::string &text, const std::string &suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
    {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != suffix[i])
            return false;
    }
    return true;
}

// NAME or NAME=SQLITE_DB.
bool parseFile(const std::string &value, HostedFileOption &file, std::string &error)
{
    std::size_t equals = value.find('=');
    file.name = hostedFileName(value.substr(0, equals));
    file.sqlitePath = equals == std::string::npos ? std::string() : value.substr(equals + 1);
    if (file.name.empty())
    {
        error = "--file needs a file name";
        return false;
    }
    if (equals != std::string::npos && file.sqlitePath.empty())
    {
        error = "--file " + value + ": the SQLite database path after \"=\" is empty";
        return false;
    }
    return true;
}
} // namespace

std::string hostedFileName(std::string name)
{
    if (endsWithIgnoringCase(name, ".fmp12"))
        name.resize(name.size() - 6);
    return name;
}

const char *usageText()
{
    return "usage: fmhost [--plugin PATH | --no-plugin] [--file NAME[=SQLITE_DB]]... [--json | --echo] [-e CALC]...\n"
           "              [SCRIPT]\n"
           "       fmhost [--plugin PATH | --no-plugin] [--file NAME[=SQLITE_DB]]... --test [--junit PATH] [--tap]\n"
           "              [--filter PATTERN]... FILE...\n"
           "  --plugin PATH   plug-in to load (default: VantrelSandbox.fmx beside fmhost)\n"
           "  --no-plugin     load no plug-in (only the host's own functions)\n"
           "  --file NAME     open a hosted file; the first one is the calling file; =SQLITE_DB backs its SQL\n"
           "  --json          one JSON object per calculation: calc, error, type, value\n"
           "  --echo          each calculation with its result (calc  \xE2\x86\x92  result), # comments as titles\n"
           "  -e CALC         evaluate a calculation (repeatable)\n"
           "  SCRIPT          evaluate each calculation of a file (\"-\": standard input)\n"
           "  --test FILE...  run test files (scripts, or the ```fmcalc blocks of .md files) whose \"// =>\" lines\n"
           "                  state expected results; print the failures and \"N passed, N failed\"\n"
           "  --junit PATH    with --test, also write a JUnit XML report\n"
           "  --tap           with --test, write TAP to standard output instead of the failures and the summary\n"
           "  --filter PATTERN\n"
           "                  with --test, check only the tests whose names match (* any characters, ? one)\n"
           "  -h, --help      print this usage\n"
           "  --version       print fmhost's version\n"
           "With no calculation and no script, fmhost reads calculations at a prompt.\n"
           "A calculation goes on over several lines while a parenthesis, bracket or quote is open, or when a line\n"
           "ends in \\. Lines starting with \":\" are commands (:help lists them): :vars lists the variables, :quit\n"
           "leaves, and :session, :close, :end and :sleep play several clients of the server.\n"
           "Exit status: 0 when every calculation (or test) succeeded, 1 when one failed, 2 for a usage or plug-in\n"
           "error; leaving the prompt is 0. See also fmhost(1).\n";
}

std::string versionLine() { return std::string("fmhost ") + FMHOST_VERSION; }

std::string usageError(const std::string &message)
{
    return "fmhost: " + message + " (fmhost --help lists the options)";
}

bool parseOptions(const std::vector<std::string> &arguments, Options &options, std::string &error)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        std::string argument = arguments[i];
        std::string value;
        bool hasInlineValue = false;
        if (argument.rfind("--", 0) == 0 && argument.find('=') != std::string::npos)
        {
            value = argument.substr(argument.find('=') + 1);
            argument = argument.substr(0, argument.find('='));
            hasInlineValue = true;
        }
        auto takeValue = [&]() {
            if (hasInlineValue)
                return true;
            if (i + 1 >= arguments.size())
            {
                error = argument + " needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        if (argument == "-h" || argument == "--help")
            options.help = true;
        else if (argument == "--version")
            options.version = true;
        else if (argument == "--json")
            options.json = true;
        else if (argument == "--echo")
            options.echo = true;
        else if (argument == "--no-plugin")
            options.noPlugin = true;
        else if (argument == "--test")
            options.test = true;
        else if (argument == "--tap")
            options.tap = true;
        else if (argument == "--filter")
        {
            if (!takeValue())
                return false;
            options.testFilters.push_back(value);
        }
        else if (argument == "--junit" || argument == "--plugin")
        {
            if (!takeValue())
                return false;
            if (value.empty())
            {
                error = argument + " needs a path";
                return false;
            }
            (argument == "--junit" ? options.junitPath : options.pluginPath) = value;
        }
        else if (argument == "--file")
        {
            HostedFileOption file;
            if (!takeValue() || !parseFile(value, file, error))
                return false;
            options.files.push_back(file);
        }
        else if (argument == "-e" || argument == "--eval")
        {
            if (!takeValue())
                return false;
            options.sources.push_back({false, value});
        }
        else if (argument.size() > 1 && argument[0] == '-')
        {
            error = "unknown option " + argument;
            return false;
        }
        else
        {
            positional.push_back(argument);
            options.sources.push_back({true, argument});
        }
        if (hasInlineValue &&
            (argument == "--json" || argument == "--echo" || argument == "--no-plugin" || argument == "--help" ||
             argument == "--version" || argument == "--test" || argument == "--tap"))
        {
            error = argument + " takes no value";
            return false;
        }
    }
    // Asked for the usage or the version, fmhost runs nothing, so the rest need not fit together.
    if (options.help || options.version)
        return true;
    if (options.noPlugin && !options.pluginPath.empty())
    {
        error = "--plugin and --no-plugin exclude each other";
        return false;
    }
    if (options.echo && options.json)
    {
        error = "--echo and --json exclude each other";
        return false;
    }
    if (!options.test)
    {
        if (!options.junitPath.empty() || options.tap || !options.testFilters.empty())
            error = std::string(!options.junitPath.empty() ? "--junit" : options.tap ? "--tap" : "--filter") +
                    " goes with --test";
        else if (positional.size() > 1)
            error = "only one SCRIPT may be given";
        return error.empty();
    }
    if (options.json || options.echo || options.sources.size() != positional.size())
        error = std::string("--test runs test files; it does not take ") +
                (options.json ? "--json" : options.echo ? "--echo" : "-e");
    else if (positional.empty())
        error = "--test needs at least one test file";
    options.testFiles = positional;
    options.sources.clear();
    return error.empty();
}
} // namespace fmhost
