#include "fmhost/Runner.h"

#include "fmhost/Commands.h"
#include "fmhost/Output.h"

#include <iostream>

namespace fmhost
{
namespace
{
// A result under its calculation, each line indented.
std::string indented(const std::string &text)
{
    std::string out = "    ";
    for (char c : text)
        out += c == '\r' || c == '\n' ? std::string("\n    ") : std::string(1, c);
    return out;
}

std::string echoLine(const std::string &calculation, const cEvaluation &evaluation)
{
    const FMHost::Result &result = evaluation.result;
    if (result.error)
        return calculation + "  \xE2\x86\x92  ?  (" + evaluation.failure + ")";
    if (result.text.find_first_of("\r\n") == std::string::npos)
        return calculation + "  \xE2\x86\x92  " + result.text;
    return calculation + "  \xE2\x86\x92\n" + indented(result.text);
}
} // namespace

void cRunner::run(const ScriptItem &item)
{
    switch (item.kind)
    {
    case ScriptItem::Kind::Calculation: evaluate(item.text); break;
    case ScriptItem::Kind::Command: command(item.text); break;
    case ScriptItem::Kind::Comment: title(item.text); break;
    case ScriptItem::Kind::Expectation: break; // what a test file expects; a plain run only shows results
    }
}

void cRunner::title(const std::string &text)
{
    if (style_ != Style::Echo || text.empty())
        return;
    std::cout << (printed_ ? "\n" : "") << "== " << text << " ==\n";
    printed_ = true;
}

void cRunner::evaluate(const std::string &calculation)
{
    cEvaluation evaluation = host_.evaluate(calculation);
    const FMHost::Result &result = evaluation.result;
    switch (style_)
    {
    case Style::Json:
        std::cout << jsonLine(calculation, result.error, result.error ? "" : FMHost::TypeName(result.type),
                              result.error ? "" : result.text);
        break;
    case Style::Echo: std::cout << echoLine(calculation, evaluation); break;
    case Style::Plain: std::cout << (result.error ? "?" : plainLine(result.text)); break;
    }
    std::cout << '\n' << std::flush;
    printed_ = true;
    if (!evaluation.sqlFailure.empty())
        std::cerr << "fmhost: " << evaluation.sqlFailure << std::endl;
    if (!evaluation.questionMark.empty())
        std::cerr << "fmhost: " << evaluation.questionMark << std::endl;
    if (result.error)
    {
        failed_ = true;
        if (style_ != Style::Echo)
            std::cerr << "fmhost: " << evaluation.failure << " in: " << calculation << std::endl;
    }
}

void cRunner::command(const std::string &line)
{
    std::string error;
    bool done = runCommand(line, host_, std::cout, error);
    std::cout << std::flush;
    if (done)
        return;
    failed_ = true;
    std::cerr << "fmhost: " << error << std::endl;
}
} // namespace fmhost
