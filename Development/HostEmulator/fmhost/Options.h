// fmhost's command line.
#pragma once

#include <string>
#include <vector>

namespace fmhost
{
struct HostedFileOption
{
    std::string name;
    std::string sqlitePath; // empty: no SQL database
};

// A -e calculation or a script file ("-": standard input), in command-line order.
struct CalculationSource
{
    bool isScript = false;
    std::string text; // the calculation, or the script's path
};

struct Options
{
    std::string pluginPath; // empty: the sandbox plug-in beside fmhost
    bool noPlugin = false;
    bool json = false;
    bool echo = false;      // --echo: each calculation with its result, comments as section titles
    bool help = false;
    bool version = false;   // --version: print fmhost's version and exit
    bool test = false;      // --test: the positional arguments are test files
    std::string junitPath;  // --junit: where the test runner writes its JUnit report
    bool tap = false;       // --tap: the test runner writes TAP to standard output
    std::vector<std::string> testFilters; // --filter: the tests to run, by name patterns
    std::vector<HostedFileOption> files;
    std::vector<CalculationSource> sources;
    std::vector<std::string> testFiles;
};

// Get ( FileName ) answers a file's name without extension, so a trailing ".fmp12" (any letter case) is dropped.
std::string hostedFileName(std::string name);

// Reads the arguments (without argv[0]). False with a message for a usage error.
bool parseOptions(const std::vector<std::string> &arguments, Options &options, std::string &error);

const char *usageText();

// One line: "fmhost <version>", the project's version.
std::string versionLine();

// How a usage error is told, on one line: the message and where the options are listed.
std::string usageError(const std::string &message);
} // namespace fmhost
