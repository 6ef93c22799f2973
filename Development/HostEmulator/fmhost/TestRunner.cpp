#include "fmhost/TestRunner.h"

#include "fmhost/Commands.h"
#include "fmhost/HostContext.h"
#include "fmhost/Output.h"
#include "fmhost/ScriptReader.h"
#include "fmhost/Signals.h"

#include <fstream>
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

// "error N": the code expected, else false.
bool expectedError(const std::string &expected, int &code)
{
    if (expected.compare(0, 6, "error ") != 0)
        return false;
    std::size_t digits = expected.find_first_not_of(' ', 6);
    if (digits == std::string::npos)
        return false;
    std::size_t end = 0;
    try
    {
        code = std::stoi(expected.substr(digits), &end);
    }
    catch (const std::exception &)
    {
        return false;
    }
    return digits + end == expected.size();
}

std::string describeOutcome(const cEvaluation &evaluation)
{
    return evaluation.result.error ? evaluation.failure : jsonString(evaluation.result.text);
}

// Checks one calculation against its expectation lines (none: it only has to succeed).
std::string check(const cEvaluation &evaluation, const std::vector<std::string> &expectations)
{
    if (expectations.empty())
        return evaluation.result.error ? "expected no error, got " + evaluation.failure : std::string();
    std::string expected;
    for (std::size_t i = 0; i < expectations.size(); ++i)
        expected += (i ? "\r" : "") + expectations[i];
    int code = 0;
    if (expectations.size() == 1 && expectedError(expected, code))
        return evaluation.result.error == code ? std::string()
                                               : "expected error " + std::to_string(code) + ", got " +
                                                     describeOutcome(evaluation);
    if (!evaluation.result.error && evaluation.result.text == expected)
        return std::string();
    return "expected " + jsonString(expected) + ", got " + describeOutcome(evaluation);
}

void runFile(cHostContext &host, const std::vector<ScriptItem> &items, cTestFile &file)
{
    for (std::size_t i = 0; i < items.size() && !stopRequested(); ++i)
    {
        const ScriptItem &item = items[i];
        if (item.kind == ScriptItem::Kind::Comment)
            continue;
        cTestCase test;
        test.line = item.line;
        test.calculation = item.text;
        if (item.kind == ScriptItem::Kind::Expectation)
        {
            test.calculation = "// => " + item.text;
            test.failure = "an expected result with no calculation right before it";
            file.cases.push_back(test);
            continue;
        }
        if (item.kind == ScriptItem::Kind::Command)
        {
            std::ostringstream ignored;
            std::string error;
            if (!runCommand(item.text, host, ignored, error))
            {
                test.failure = error;
                file.cases.push_back(test);
            }
            continue;
        }
        std::vector<std::string> expectations;
        while (i + 1 < items.size() && items[i + 1].kind == ScriptItem::Kind::Expectation)
            expectations.push_back(items[++i].text);
        test.failure = check(host.evaluate(item.text), expectations);
        // A calculation run only for its effect counts when it fails.
        if (!expectations.empty() || !test.failure.empty())
            file.cases.push_back(test);
    }
}

// The calculation on one line of the report: even line breaks within texts and after comments become spaces.
std::string oneLine(const std::string &calculation)
{
    std::string line = calculationOnOneLine(calculation);
    for (char &c : line)
        if (c == '\n')
            c = ' ';
    return line;
}

std::string xmlEscaped(const std::string &text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        case '\n': out += "&#10;"; break;
        case '\t': out += "&#9;"; break;
        default:
            // Other control characters cannot appear in XML 1.0 at all.
            out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    return out;
}
} // namespace

std::string junitReport(const std::vector<cTestFile> &files)
{
    std::size_t tests = 0, failures = 0;
    std::ostringstream suites;
    for (const cTestFile &file : files)
    {
        std::size_t failed = 0;
        std::ostringstream cases;
        for (const cTestCase &test : file.cases)
        {
            cases << "    <testcase classname=\"" << xmlEscaped(file.path) << "\" name=\"" << test.line << ": "
                  << xmlEscaped(oneLine(test.calculation)) << "\"";
            if (test.failure.empty())
                cases << "/>\n";
            else
            {
                ++failed;
                cases << ">\n      <failure message=\"" << xmlEscaped(test.failure) << "\">"
                      << xmlEscaped(file.path + ":" + std::to_string(test.line) + ": " + test.calculation + "\n" +
                                    test.failure)
                      << "</failure>\n    </testcase>\n";
            }
        }
        suites << "  <testsuite name=\"" << xmlEscaped(file.path) << "\" tests=\"" << file.cases.size()
               << "\" failures=\"" << failed << "\" errors=\"0\">\n"
               << cases.str() << "  </testsuite>\n";
        tests += file.cases.size();
        failures += failed;
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"fmhost\" tests=\"" + std::to_string(tests) +
           "\" failures=\"" + std::to_string(failures) + "\" errors=\"0\">\n" + suites.str() + "</testsuites>\n";
}

int runTests(const Options &options, std::ostream &out, std::ostream &err)
{
    // Every file is read, and the report's path tried, before anything runs: a mistake there is a usage error.
    std::vector<std::vector<ScriptItem>> scripts;
    for (const std::string &path : options.testFiles)
    {
        std::string content;
        if (!readFile(path, content))
        {
            err << "fmhost: cannot read test file " << path << std::endl;
            return 2;
        }
        scripts.push_back(isMarkdown(path) ? readMarkdown(content) : readScript(content));
    }
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

    std::vector<cTestFile> files;
    std::size_t passed = 0, failed = 0;
    for (std::size_t f = 0; f < scripts.size() && !stopRequested(); ++f)
    {
        cHostContext host(options);
        std::string error;
        if (!host.start(error))
        {
            err << "fmhost: " << error << std::endl;
            return 2;
        }
        files.push_back({options.testFiles[f], {}});
        runFile(host, scripts[f], files.back());
        host.stop();
        for (const cTestCase &test : files.back().cases)
        {
            if (test.failure.empty())
            {
                ++passed;
                continue;
            }
            ++failed;
            out << files.back().path << ':' << test.line << ": " << oneLine(test.calculation) << ": " << test.failure
                << '\n';
        }
    }
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
