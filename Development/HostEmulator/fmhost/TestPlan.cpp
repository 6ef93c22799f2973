#include "fmhost/TestPlan.h"

#include "fmhost/ScriptReader.h"
#include "fmhost/TestReports.h"
#include "fmhost/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace fmhost
{
namespace
{
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

// Where the first byte that is not UTF-8 lies, for the message: "3: not UTF-8 text (byte 0xE9 at column 4)".
std::string nonUtf8Place(const std::string &content, std::size_t at)
{
    const auto before = content.begin() + static_cast<std::ptrdiff_t>(at);
    const long line = 1 + std::count(content.begin(), before, '\n');
    const std::size_t newline = content.rfind('\n', at);
    const auto lineStart = newline == std::string::npos ? content.begin()
                                                        : content.begin() + static_cast<std::ptrdiff_t>(newline) + 1;
    // What comes before it on its line is UTF-8: its characters are the bytes that start one.
    const long column = 1 + std::count_if(lineStart, before, [](char c) { return (c & 0xC0) != 0x80; });
    char text[96];
    std::snprintf(text, sizeof text, "%ld: not UTF-8 text (byte 0x%02X at column %ld)", line,
                  static_cast<unsigned char>(content[at]), column);
    return text;
}

// The text of a "// \=>" line: \n line feed, \r carriage return, \t tab, \\ backslash.
bool unescaped(const std::string &text, std::string &out, std::string &error)
{
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\\')
        {
            out += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[++i] : '\0';
        switch (next)
        {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        default:
            error = std::string("unknown escape \\") + (next ? std::string(1, next) : std::string()) +
                    " in an expected result (\\n, \\r, \\t and \\\\ are known)";
            return false;
        }
    }
    return true;
}

// Makes each name unique in its file: a name seen before gets " (2)", " (3)" ..., the first free one.
void makeNamesUnique(std::vector<cTestStep> &steps)
{
    std::set<std::string> taken;
    for (cTestStep &step : steps)
    {
        std::string name = step.name;
        for (int n = 2; !taken.insert(name).second; ++n)
            name = step.name + " (" + std::to_string(n) + ")";
        step.name = name;
    }
}

std::u32string characters(const std::string &text)
{
    std::u32string out;
    char32_t c = 0;
    for (std::size_t at = 0; at < text.size();)
        out += nextUtf8Character(text, at, c) ? c : char32_t(0xFFFD);
    return out;
}
} // namespace

bool readTestPlan(const std::string &path, const std::string &content, bool markdown, cTestPlan &plan,
                  std::string &error)
{
    const std::size_t bad = firstNonUtf8Byte(content);
    if (bad != std::string::npos)
    {
        error = path + ":" + nonUtf8Place(content, bad) + "; test files are read as UTF-8";
        return false;
    }
    const std::vector<ScriptItem> items = markdown ? readMarkdown(content) : readScript(content);
    plan = cTestPlan();
    plan.path = path;
    bool anyTest = false;
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        const ScriptItem &item = items[i];
        cTestStep step;
        step.line = item.line;
        step.calculation = item.text;
        switch (item.kind)
        {
        case ScriptItem::Kind::Comment: continue;
        case ScriptItem::Kind::Expectation:
            step.kind = cTestStep::Kind::Stray;
            step.calculation = (item.escaped ? "// \\=> " : "// => ") + item.text;
            step.name = step.calculation;
            break;
        case ScriptItem::Kind::Command:
            step.kind = cTestStep::Kind::Command;
            step.name = item.text;
            break;
        case ScriptItem::Kind::Calculation:
        {
            step.kind = cTestStep::Kind::Setup;
            step.name = item.comment.empty() ? oneLine(item.text) : item.comment;
            std::size_t lines = 0;
            bool escaped = false;
            for (; i + 1 < items.size() && items[i + 1].kind == ScriptItem::Kind::Expectation; ++lines)
            {
                const ScriptItem &expectation = items[++i];
                std::string text;
                if (!expectation.escaped)
                    text = expectation.text;
                else if (!unescaped(expectation.text, text, error))
                {
                    error = path + ":" + std::to_string(expectation.line) + ": " + error;
                    return false;
                }
                escaped = escaped || expectation.escaped;
                step.expected += (lines ? "\r" : "") + text;
                step.kind = cTestStep::Kind::Test;
            }
            // "error N" states a failure only as a plain line of its own; escaped, it is a text.
            step.expectsError = lines == 1 && !escaped && expectedError(step.expected, step.errorCode);
            anyTest = anyTest || step.kind == cTestStep::Kind::Test;
            break;
        }
        }
        plan.steps.push_back(std::move(step));
    }
    if (!anyTest)
    {
        error = path + ": no test in it (a test is a calculation followed by a \"// =>\" line" +
                (markdown ? std::string(", in a ```fmcalc block)") : std::string(")"));
        return false;
    }
    makeNamesUnique(plan.steps);
    return true;
}

bool matchesFilter(const std::string &name, const std::string &pattern)
{
    const std::u32string text = characters(name), glob = characters(pattern);
    // Greedy matching that goes back to the last "*" on a mismatch.
    std::size_t t = 0, g = 0, starAt = std::u32string::npos, resumeAt = 0;
    while (t < text.size())
    {
        if (g < glob.size() && (glob[g] == U'?' || glob[g] == text[t]))
        {
            ++t;
            ++g;
        }
        else if (g < glob.size() && glob[g] == U'*')
        {
            starAt = g++;
            resumeAt = t;
        }
        else if (starAt != std::u32string::npos)
        {
            g = starAt + 1;
            t = ++resumeAt;
        }
        else
            return false;
    }
    while (g < glob.size() && glob[g] == U'*')
        ++g;
    return g == glob.size();
}

bool selectTests(std::vector<cTestPlan> &plans, const std::vector<std::string> &patterns)
{
    bool any = false;
    for (cTestPlan &plan : plans)
        for (cTestStep &step : plan.steps)
        {
            if (step.kind != cTestStep::Kind::Test)
                continue;
            step.selected = patterns.empty() ||
                            std::any_of(patterns.begin(), patterns.end(),
                                        [&](const std::string &pattern) { return matchesFilter(step.name, pattern); });
            any = any || step.selected;
        }
    return any;
}

bool hasSelectedTest(const cTestPlan &plan)
{
    return std::any_of(plan.steps.begin(), plan.steps.end(), [](const cTestStep &step) {
        return step.kind == cTestStep::Kind::Test && step.selected;
    });
}
} // namespace fmhost
