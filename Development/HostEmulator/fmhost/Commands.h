// The ":" lines of scripts, test files and the prompt.
#pragma once

#include "fmhost/HostContext.h"

#include <ostream>
#include <string>
#include <vector>

namespace fmhost
{
struct cCommand
{
    const char *name;      // without the colon
    const char *arguments; // as shown by :help
    const char *summary;
    // Runs the command with the rest of its line; false with a message when it fails.
    bool (*run)(cHostContext &host, const std::string &arguments, std::ostream &out, std::string &error);
};

// Every command, in the order :help lists them.
const std::vector<cCommand> &commands();

// Runs a ":" line (with its colon). False with a message for an unknown command or one that failed.
bool runCommand(const std::string &line, cHostContext &host, std::ostream &out, std::string &error);
} // namespace fmhost
