#ifndef VANTREL_ERRORS_ALLOWLISTOPTIONS_H
#define VANTREL_ERRORS_ALLOWLISTOPTIONS_H

#include <string>
#include <string_view>
#include <vector>

namespace vtl
{
// What the allow-list's leading "/options" lines switch on, e.g. "/options<TAB>log=off|shell-command-timeout=30".
struct cAllowListOptions
{
    bool shellCommandObeysAllowList = false; // "shell-command-obeys-allow-list"
    int shellCommandTimeout = 0;             // "shell-command-timeout=N": seconds, 0 for no limit
    bool journal = true;                     // "log=off" / "log=on"
};

// The longest time limit a shell command may be given, in seconds (a day).
constexpr int kLongestShellCommandTimeout = 86400;

// Applies one item of an options line. False when the item is no known option (or a known one with a value it
// cannot take); options is then left as it was.
bool ApplyAllowListOption(std::string_view item, cAllowListOptions &options);

// The options in force, one line of text each, every option named with its value, for the administrator.
std::vector<std::string> DescribeAllowListOptions(const cAllowListOptions &options);
}

#endif
