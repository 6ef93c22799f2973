// Splits a script into calculations.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace fmhost
{
// Reads one calculation from the stream: one line, or several when each but the last ends in a backslash (the
// backslash is dropped and the lines are joined with a line feed). Blank lines and lines starting with "#" are
// skipped. `prompt`/`continuationPrompt` are written to `promptOut` before each line read when it is not null.
// False at the end of the input.
bool readCalculation(std::istream &in, std::string &calculation, std::ostream *promptOut = nullptr,
                     const char *prompt = "", const char *continuationPrompt = "");

// All calculations of a script text.
std::vector<std::string> splitScript(const std::string &script);
} // namespace fmhost
