#include "fmhost/Commands.h"

#include <algorithm>
#include <cctype>

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

bool showHelp(cHostContext &, const std::string &, std::ostream &out, std::string &)
{
    out << "Type a calculation and press Return; it goes on over several lines while a parenthesis, bracket or\n"
           "quote is open, or when a line ends in \\. Ctrl-C abandons the input, Ctrl-D ends fmhost.\n"
           "Commands:\n";
    for (const cCommand &command : commands())
    {
        std::string usage = std::string(":") + command.name + (*command.arguments ? " " : "") + command.arguments;
        out << "  " << usage << std::string(usage.size() < 24 ? 24 - usage.size() : 1, ' ') << command.summary
            << '\n';
    }
    return true;
}
} // namespace

const std::vector<cCommand> &commands()
{
    static const std::vector<cCommand> table = {
        {"functions", "[WORD]", "the plug-in's functions with their prototypes and argument counts", &listFunctions},
        {"help", "", "this help", &showHelp},
    };
    return table;
}

bool runCommand(const std::string &line, cHostContext &host, std::ostream &out, std::string &error)
{
    std::size_t nameEnd = line.find_first_of(" \t", 1);
    std::string name = lowered(line.substr(1, nameEnd == std::string::npos ? std::string::npos : nameEnd - 1));
    std::size_t argumentsStart = nameEnd == std::string::npos ? std::string::npos : line.find_first_not_of(" \t", nameEnd);
    std::string arguments = argumentsStart == std::string::npos ? std::string() : line.substr(argumentsStart);
    for (const cCommand &command : commands())
        if (name == command.name)
            return command.run(host, arguments, out, error);
    error = "unknown command :" + name + " (:help lists the commands)";
    return false;
}
} // namespace fmhost
