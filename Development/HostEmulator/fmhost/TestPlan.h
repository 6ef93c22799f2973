// What a test file asks to check: read and named before anything runs, so that mistakes in it are found first and
// every test keeps its name from run to run.
#pragma once

#include <string>
#include <vector>

namespace fmhost
{
struct cTestStep
{
    enum class Kind
    {
        Test,    // a calculation with its expected result
        Setup,   // a calculation run for its effect: reported only when it fails
        Command, // a ":" line: reported only when it fails
        Stray    // an expected result with no calculation before it: always a failure
    };
    Kind kind = Kind::Test;
    int line = 0;
    std::string calculation; // the calculation or command as written
    std::string expected;    // a test's expected text, its lines joined by carriage returns
    bool expectsError = false;
    int errorCode = 0;       // with expectsError, the host error expected
    std::string name;        // the comment line right before it, else the calculation on one line; unique in its file
    bool selected = true;    // false when --filter leaves the test out: it runs, unchecked and unreported
};

struct cTestPlan
{
    std::string path;
    std::vector<cTestStep> steps;
};

// Reads a test file's content (a Markdown file's ```fmcalc blocks when `markdown`). False with a message naming the
// file, and the line where it applies, when the content is not UTF-8, an escaped expected result holds an unknown
// escape, or the file holds no test.
bool readTestPlan(const std::string &path, const std::string &content, bool markdown, cTestPlan &plan,
                  std::string &error);

// Whether a test name matches a --filter pattern: the whole name, "*" standing for any run of characters and "?"
// for one character.
bool matchesFilter(const std::string &name, const std::string &pattern);

// Leaves selected only the tests whose names match one of the patterns (all of them when there is none). False
// when patterns were given and no test of any plan matches them.
bool selectTests(std::vector<cTestPlan> &plans, const std::vector<std::string> &patterns);

// Whether any of the plan's tests is selected.
bool hasSelectedTest(const cTestPlan &plan);
} // namespace fmhost
