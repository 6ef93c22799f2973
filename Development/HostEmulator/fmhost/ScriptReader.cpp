#include "fmhost/ScriptReader.h"

#include <sstream>

namespace fmhost
{
namespace
{
bool isSkipped(const std::string &line)
{
    std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}
} // namespace

bool readCalculation(std::istream &in, std::string &calculation, std::ostream *promptOut, const char *prompt,
                     const char *continuationPrompt)
{
    calculation.clear();
    bool continuing = false;
    std::string line;
    while (true)
    {
        if (promptOut)
            *promptOut << (continuing ? continuationPrompt : prompt) << std::flush;
        if (!std::getline(in, line))
            return continuing;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!continuing && isSkipped(line))
            continue;
        bool continues = !line.empty() && line.back() == '\\';
        if (continues)
            line.pop_back();
        calculation += line;
        if (!continues)
            return true;
        calculation += '\n';
        continuing = true;
    }
}

std::vector<std::string> splitScript(const std::string &script)
{
    // A byte-order mark at the start of a script file is no part of the first calculation.
    std::istringstream in(script.rfind("\xEF\xBB\xBF", 0) == 0 ? script.substr(3) : script);
    std::vector<std::string> calculations;
    std::string calculation;
    while (readCalculation(in, calculation))
        calculations.push_back(calculation);
    return calculations;
}
} // namespace fmhost
