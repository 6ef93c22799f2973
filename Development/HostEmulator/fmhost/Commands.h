// fmhost's own commands: lines whose first non-blank character is ":", in scripts and at the prompt. They act
// on the host (sessions, files, time) instead of being evaluated. A new command is one row of the table in
// Commands.cpp.
#pragma once

#include <csignal>
#include <iosfwd>
#include <string>
#include <vector>

namespace fmhost
{
class Sessions;

// What commands work on.
struct CommandContext
{
    Sessions &sessions;
    std::ostream &out;                   // what a command prints (normal output)
    const volatile sig_atomic_t &stop;   // set by Ctrl-C or SIGTERM: long commands end early
};

struct Command
{
    const char *name;      // without the colon
    const char *arguments; // synopsis, e.g. "NAME [FILE ...]"
    const char *summary;   // one line
    int minArguments;
    int maxArguments;      // -1: no limit
    // False with a message when the command cannot be carried out.
    bool (*run)(CommandContext &context, const std::vector<std::string> &arguments, std::string &error);
};

// Every command, in the order :help lists them.
const std::vector<Command> &commands();

// True when the line is a command (its first non-blank character is ":").
bool isCommand(const std::string &line);

// Runs a command line. Arguments are separated by blanks; "double quotes" keep blanks in one argument. False with a
// message for an unknown command, wrong arguments, or a command that failed.
bool runCommand(CommandContext &context, const std::string &line, std::string &error);
} // namespace fmhost
