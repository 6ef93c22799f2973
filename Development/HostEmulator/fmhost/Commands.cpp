#include "fmhost/Commands.h"

#include "fmhost/Sessions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace fmhost
{
namespace
{
bool sessionCommand(CommandContext &context, const std::vector<std::string> &arguments, std::string &error)
{
    return context.sessions.switchTo(arguments[0], std::vector<std::string>(arguments.begin() + 1, arguments.end()),
                                     error);
}

bool closeCommand(CommandContext &context, const std::vector<std::string> &arguments, std::string &error)
{
    return context.sessions.close(arguments[0], error);
}

bool endCommand(CommandContext &context, const std::vector<std::string> &, std::string &error)
{
    return context.sessions.endCurrent(error);
}

bool sleepCommand(CommandContext &context, const std::vector<std::string> &arguments, std::string &error)
{
    const char *text = arguments[0].c_str();
    char *end = nullptr;
    const double seconds = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 86400)
    {
        error = "SECONDS must be a number from 0 to 86400, not " + arguments[0];
        return false;
    }
    // In small steps, so that Ctrl-C does not wait for the end.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (!context.stop)
    {
        const Clock::duration left = until - Clock::now();
        if (left <= Clock::duration::zero())
            break;
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(50)));
    }
    return true;
}

// Blank-separated words; a word in double quotes may hold blanks.
bool splitArguments(const std::string &text, std::vector<std::string> &words, std::string &error)
{
    std::size_t at = 0;
    while (true)
    {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string::npos)
            return true;
        if (text[at] == '"')
        {
            const std::size_t close = text.find('"', at + 1);
            if (close == std::string::npos)
            {
                error = "a quotation mark is not closed";
                return false;
            }
            words.push_back(text.substr(at + 1, close - at - 1));
            at = close + 1;
            continue;
        }
        const std::size_t end = text.find_first_of(" \t", at);
        words.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
}
} // namespace

const std::vector<Command> &commands()
{
    static const std::vector<Command> kCommands = {
        {"session", "NAME [FILE ...]",
         "switch to session NAME (started on first use), open the files in it; the first becomes the calling file", 1,
         -1, &sessionCommand},
        {"close", "FILE", "close a file of the current session", 1, 1, &closeCommand},
        {"end", "", "end the current session and return to the first one", 0, 0, &endCommand},
        {"sleep", "SECONDS", "wait (fractions allowed)", 1, 1, &sleepCommand},
    };
    return kCommands;
}

bool isCommand(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string::npos && line[first] == ':';
}

bool runCommand(CommandContext &context, const std::string &line, std::string &error)
{
    std::vector<std::string> words;
    if (!splitArguments(line.substr(line.find(':') + 1), words, error))
        return false;
    if (words.empty())
    {
        error = "a command name must follow \":\"";
        return false;
    }
    for (const Command &command : commands())
    {
        if (words[0] != command.name)
            continue;
        const std::vector<std::string> arguments(words.begin() + 1, words.end());
        const int count = static_cast<int>(arguments.size());
        if (count < command.minArguments || (command.maxArguments >= 0 && count > command.maxArguments))
        {
            error = std::string("usage: :") + command.name + (*command.arguments ? " " : "") + command.arguments;
            return false;
        }
        return command.run(context, arguments, error);
    }
    error = "unknown command :" + words[0];
    return false;
}
} // namespace fmhost
