// fmhost --test: runs test files (scripts, or the ```fmcalc blocks of Markdown files) whose "// =>" lines state
// the expected results.
#pragma once

#include "fmhost/Options.h"

#include <ostream>

namespace fmhost
{
// Runs every test file of options.testFiles, each in a fresh host (new session, plug-in loaded anew). Prints one
// line per failure and the summary "N passed, N failed" to `out` (with --tap, TAP instead), and writes the JUnit
// report when asked. Answers fmhost's exit status: 0 when everything passed, 1 when something failed, 2 when a test
// file cannot be read or holds no test, no test matches --filter, the report cannot be written or the plug-in
// cannot be used.
int runTests(const Options &options, std::ostream &out, std::ostream &err);
} // namespace fmhost
