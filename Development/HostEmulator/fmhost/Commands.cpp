#include "fmhost/Commands.h"

#include "fmhost/Signals.h"
#include "fmhost/VariableList.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace fmhost
{
namespace
{
std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string argumentCount(short minArgs, short maxArgs)
{
    if (maxArgs < 0)
        return std::to_string(minArgs) + " or more arguments";
    if (minArgs == maxArgs)
        return std::to_string(minArgs) + (minArgs == 1 ? " argument" : " arguments");
    return std::to_string(minArgs) + " to " + std::to_string(maxArgs) + " arguments";
}

// The plug-in's functions: prototype and argument counts, optionally only those whose name holds a word.
bool listFunctions(cHostContext &, const std::string &arguments, std::ostream &out, std::string &error)
{
    std::string filter = lowered(arguments);
    int listed = 0;
    for (const FMHost::FunctionInfo &function : FMHost::Registrations())
    {
        if (function.scriptStep || lowered(function.name).find(filter) == std::string::npos)
            continue;
        out << (function.prototype.empty() ? function.name : function.prototype) << "  ["
            << argumentCount(function.minArgs, function.maxArgs) << "]\n";
        ++listed;
    }
    if (listed == 0 && !filter.empty())
    {
        error = "no plug-in function is named like \"" + arguments + "\"";
        return false;
    }
    if (listed == 0)
        out << "(no plug-in functions are registered)\n";
    return true;
}

// Blank-separated words; a word in double quotes may hold blanks.
bool splitWords(const std::string &text, std::vector<std::string> &words, std::string &error)
{
    for (std::size_t at = text.find_first_not_of(" \t"); at != std::string::npos; at = text.find_first_not_of(" \t", at))
    {
        const bool quoted = text[at] == '"';
        const std::size_t end = quoted ? text.find('"', at + 1) : text.find_first_of(" \t", at);
        if (quoted && end == std::string::npos)
        {
            error = "a quotation mark is not closed in: " + text;
            return false;
        }
        words.push_back(quoted ? text.substr(at + 1, end - at - 1) : text.substr(at, end - at));
        at = quoted ? end + 1 : end;
    }
    return true;
}

bool takesNoArguments(const char *command, const std::string &arguments, std::string &error)
{
    if (arguments.empty())
        return true;
    error = std::string(":") + command + " takes no arguments";
    return false;
}

bool switchSession(cHostContext &host, const std::string &arguments, std::ostream &, std::string &error)
{
    std::vector<std::string> words;
    if (!splitWords(arguments, words, error))
        return false;
    if (words.empty())
    {
        error = ":session needs a session name";
        return false;
    }
    return host.sessions().switchTo(words[0], std::vector<std::string>(words.begin() + 1, words.end()), error);
}

bool closeFile(cHostContext &host, const std::string &arguments, std::ostream &, std::string &error)
{
    std::vector<std::string> words;
    if (!splitWords(arguments, words, error))
        return false;
    if (words.size() != 1)
    {
        error = ":close needs one file name";
        return false;
    }
    return host.sessions().close(words[0], error);
}

bool endSession(cHostContext &host, const std::string &arguments, std::ostream &, std::string &error)
{
    return takesNoArguments("end", arguments, error) && host.sessions().endCurrent(error);
}

bool sleepFor(cHostContext &, const std::string &arguments, std::ostream &, std::string &error)
{
    char *end = nullptr;
    const double seconds = std::strtod(arguments.c_str(), &end);
    if (arguments.empty() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 86400)
    {
        error = ":sleep needs a number of seconds from 0 to 86400, not \"" + arguments + "\"";
        return false;
    }
    // In small steps, so that Ctrl-C does not wait for the end.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (Clock::time_point now = Clock::now(); now < until && !stopRequested(); now = Clock::now())
        std::this_thread::sleep_for(std::min<Clock::duration>(until - now, std::chrono::milliseconds(50)));
    return true;
}

bool listVariables(cHostContext &host, const std::string &arguments, std::ostream &out, std::string &error)
{
    if (!takesNoArguments("vars", arguments, error))
        return false;
    const std::string list = variableList(host.session().Variables());
    out << (list.empty() ? "(no variables are set in session " + host.sessions().currentName() + ")\n" : list);
    return true;
}

bool quit(cHostContext &host, const std::string &arguments, std::ostream &, std::string &error)
{
    if (!takesNoArguments("quit", arguments, error))
        return false;
    host.requestQuit();
    return true;
}

std::string usageOf(const cCommand &command)
{
    return std::string(":") + command.name + (*command.arguments ? " " : "") + command.arguments;
}

bool showHelp(cHostContext &, const std::string &, std::ostream &out, std::string &)
{
    out << "Type a calculation and press Return; it goes on over several lines while a parenthesis, bracket or\n"
           "quote is open, or when a line ends in \\. Ctrl-C abandons the input, Ctrl-D ends fmhost.\n"
           "Commands:\n";
    // The descriptions line up two spaces after the longest usage.
    std::size_t width = 0;
    for (const cCommand &command : commands())
        width = std::max(width, usageOf(command).size());
    for (const cCommand &command : commands())
    {
        const std::string usage = usageOf(command);
        out << "  " << usage << std::string(width + 2 - usage.size(), ' ') << command.summary << '\n';
    }
    return true;
}
} // namespace

const std::vector<cCommand> &commands()
{
    static const std::vector<cCommand> table = {
        {"functions", "[WORD]", "the plug-in's functions with their prototypes and argument counts", &listFunctions},
        {"help", "", "this help", &showHelp},
        {"session", "NAME [FILE ...]", "switch to session NAME (started on first use), open the files in it",
         &switchSession},
        {"close", "FILE", "close a file of the current session", &closeFile},
        {"end", "", "end the current session, back to the first one", &endSession},
        {"sleep", "SECONDS", "wait (fractions allowed)", &sleepFor},
        {"vars", "", "the $ and $$ variables of the current session with their values", &listVariables},
        {"quit", "", "leave fmhost (:exit too)", &quit},
    };
    return table;
}

bool runCommand(const std::string &line, cHostContext &host, std::ostream &out, std::string &error)
{
    std::size_t nameEnd = line.find_first_of(" \t", 1);
    std::string name = lowered(line.substr(1, nameEnd == std::string::npos ? std::string::npos : nameEnd - 1));
    std::size_t argumentsStart = nameEnd == std::string::npos ? std::string::npos : line.find_first_not_of(" \t", nameEnd);
    std::string arguments = argumentsStart == std::string::npos ? std::string() : line.substr(argumentsStart);
    if (name == "exit")
        name = "quit";
    for (const cCommand &command : commands())
        if (name == command.name)
            return command.run(host, arguments, out, error);
    error = "unknown command :" + name + " (:help lists the commands)";
    return false;
}
} // namespace fmhost
