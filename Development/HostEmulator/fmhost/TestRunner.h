// fmhost --test: runs test files (scripts, or the ```fmcalc blocks of Markdown files) whose "// =>" lines state
// the expected results.
#pragma once

#include "fmhost/Options.h"

#include <ostream>
#include <string>
#include <vector>

namespace fmhost
{
// One checked calculation or command of a test file.
struct cTestCase
{
    int line = 0;
    std::string calculation; // as written, lines joined with line feeds
    std::string failure;     // "expected ..., got ..."; empty when it passed
};

struct cTestFile
{
    std::string path;
    std::vector<cTestCase> cases;
};

// Runs every test file of options.testFiles, each in a fresh host (new session, plug-in loaded anew), prints one
// line per failure and the summary "N passed, N failed" to `out`, and writes the JUnit report when asked.
// Answers fmhost's exit status: 0 when everything passed, 1 when something failed, 2 when a test file cannot be
// read, the report cannot be written or the plug-in cannot be used.
int runTests(const Options &options, std::ostream &out, std::ostream &err);

// The JUnit XML report of the files.
std::string junitReport(const std::vector<cTestFile> &files);
} // namespace fmhost
