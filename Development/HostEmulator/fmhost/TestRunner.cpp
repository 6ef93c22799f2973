#include "fmhost/TestRunner.h"

#include "fmhost/Commands.h"
#include "fmhost/HostContext.h"
#include "fmhost/Output.h"
#include "fmhost/Signals.h"
#include "fmhost/TestPlan.h"
#include "fmhost/TestReports.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>

namespace fmhost
{
namespace
{
bool readFile(const std::string &path, std::string &content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return !in.bad();
}

bool isMarkdown(const std::string &path)
{
    return path.size() > 3 && (path.compare(path.size() - 3, 3, ".md") == 0 ||
                               path.compare(path.size() - 3, 3, ".MD") == 0);
}

std::string describeOutcome(const cEvaluation &evaluation)
{
    return evaluation.result.error ? evaluation.failure : jsonString(evaluation.result.text);
}

// Checks a test's outcome against what it expects.
std::string check(const cEvaluation &evaluation, const cTestStep &test)
{
    if (test.expectsError)
        return evaluation.result.error == test.errorCode
                   ? std::string()
                   : "expected error " + std::to_string(test.errorCode) + ", got " + describeOutcome(evaluation);
    if (!evaluation.result.error && evaluation.result.text == test.expected)
        return std::string();
    return "expected " + jsonString(test.expected) + ", got " + describeOutcome(evaluation);
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs one step; answers whether it is a case of the report, filling `test`.
bool runStep(cHostContext &host, const cTestStep &step, cTestCase &test)
{
    test.line = step.line;
    test.name = step.name;
    test.calculation = step.calculation;
    const auto start = std::chrono::steady_clock::now();
    switch (step.kind)
    {
    case cTestStep::Kind::Stray: test.failure = "an expected result with no calculation right before it"; break;
    case cTestStep::Kind::Command:
    {
        std::ostringstream ignored;
        std::string error;
        if (!runCommand(step.calculation, host, ignored, error))
            test.failure = error;
        else if (host.quitRequested())
            test.failure = ":quit does not belong in a test file: every test of a file runs";
        break;
    }
    case cTestStep::Kind::Setup:
    {
        cEvaluation evaluation = host.evaluate(step.calculation);
        if (evaluation.result.error)
            test.failure = "expected no error, got " + evaluation.failure;
        break;
    }
    case cTestStep::Kind::Test:
    {
        cEvaluation evaluation = host.evaluate(step.calculation);
        if (!step.selected)
            return false;
        test.failure = check(evaluation, step);
        break;
    }
    }
    test.seconds = secondsSince(start);
    // Set-up calculations and commands count when they fail.
    return step.kind == cTestStep::Kind::Test || !test.failure.empty();
}

// Reads every test file before anything runs: a mistake in one is a usage error.
bool readPlans(const Options &options, std::vector<cTestPlan> &plans, std::ostream &err)
{
    for (const std::string &path : options.testFiles)
    {
        std::string content, error;
        if (!readFile(path, content))
        {
            err << "fmhost: cannot read test file " << path << std::endl;
            return false;
        }
        plans.emplace_back();
        if (!readTestPlan(path, content, isMarkdown(path), plans.back(), error))
        {
            err << "fmhost: " << error << std::endl;
            return false;
        }
    }
    if (!selectTests(plans, options.testFilters))
    {
        err << "fmhost: no test matches --filter";
        for (const std::string &pattern : options.testFilters)
            err << ' ' << jsonString(pattern);
        err << std::endl;
        return false;
    }
    return true;
}
} // namespace

int runTests(const Options &options, std::ostream &out, std::ostream &err)
{
    std::vector<cTestPlan> plans;
    if (!readPlans(options, plans, err))
        return 2;
    std::ofstream junit;
    if (!options.junitPath.empty())
    {
        junit.open(options.junitPath, std::ios::binary | std::ios::trunc);
        if (!junit)
        {
            err << "fmhost: cannot write the JUnit report " << options.junitPath << std::endl;
            return 2;
        }
    }

    std::unique_ptr<cTapWriter> tap(options.tap ? new cTapWriter(out) : nullptr);
    std::vector<cTestFile> files;
    std::size_t passed = 0, failed = 0;
    for (std::size_t f = 0; f < plans.size() && !stopRequested(); ++f)
    {
        if (!hasSelectedTest(plans[f]))
            continue;
        cHostContext host(options);
        std::string error;
        if (!host.start(error))
        {
            err << "fmhost: " << error << std::endl;
            return 2;
        }
        files.push_back(cTestFile());
        cTestFile &file = files.back();
        file.path = plans[f].path;
        file.timestamp = isoTimestamp();
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t s = 0; s < plans[f].steps.size() && !stopRequested(); ++s)
        {
            cTestCase test;
            if (!runStep(host, plans[f].steps[s], test))
                continue;
            (test.failure.empty() ? passed : failed) += 1;
            if (tap)
                tap->result(file, test);
            else if (!test.failure.empty())
                out << file.path << ':' << test.line << ": " << oneLine(test.calculation) << ": " << test.failure
                    << '\n';
            file.cases.push_back(std::move(test));
        }
        file.seconds = secondsSince(start);
        host.stop();
    }
    if (tap)
        tap->finish(passed, failed);
    else
        out << passed << " passed, " << failed << " failed" << std::endl;
    if (junit.is_open())
    {
        junit << junitReport(files);
        junit.close();
        if (!junit)
        {
            err << "fmhost: cannot write the JUnit report " << options.junitPath << std::endl;
            return 2;
        }
    }
    if (stopRequested())
    {
        err << "fmhost: stopped" << std::endl;
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
} // namespace fmhost
