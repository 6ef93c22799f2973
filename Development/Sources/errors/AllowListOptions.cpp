#include "errors/AllowListOptions.h"

namespace vtl
{
namespace
{
constexpr std::string_view kShellGoverned = "shell-command-obeys-allow-list";
constexpr std::string_view kShellTimeout = "shell-command-timeout=";
constexpr std::string_view kLogOff = "log=off";
constexpr std::string_view kLogOn = "log=on";

// A whole number of seconds from 1 to the longest limit, in plain digits; 0 for anything else.
int Seconds(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9)
        return 0;
    long value = 0;
    for (const char digit : digits)
    {
        if (digit < '0' || digit > '9')
            return 0;
        value = value * 10 + (digit - '0');
    }
    return value >= 1 && value <= kLongestShellCommandTimeout ? static_cast<int>(value) : 0;
}
}

bool ApplyAllowListOption(std::string_view item, cAllowListOptions &options)
{
    if (item == kShellGoverned)
        options.shellCommandObeysAllowList = true;
    else if (item == kLogOff || item == kLogOn)
        options.journal = item == kLogOn;
    else if (item.substr(0, kShellTimeout.size()) == kShellTimeout)
    {
        const int seconds = Seconds(item.substr(kShellTimeout.size()));
        if (seconds == 0)
            return false;
        options.shellCommandTimeout = seconds;
    }
    else
        return false;
    return true;
}

std::vector<std::string> DescribeAllowListOptions(const cAllowListOptions &options)
{
    std::vector<std::string> lines;
    lines.push_back(options.shellCommandObeysAllowList
                        ? "shell-command-obeys-allow-list: Vantrel_DoBashCmd runs only where a file's line names it"
                        : "shell-command-obeys-allow-list: off (Vantrel_DoBashCmd runs in every file)");
    lines.push_back(options.shellCommandTimeout > 0
                        ? "shell-command-timeout=" + std::to_string(options.shellCommandTimeout) +
                              ": a shell command is ended after " + std::to_string(options.shellCommandTimeout) +
                              " seconds"
                        : "shell-command-timeout: none (a shell command runs until it ends)");
    lines.push_back(options.journal ? "log=on: refusals and faults go to the system journal (journalctl -t Vantrel)"
                                    : "log=off: nothing goes to the system journal");
    return lines;
}
}
