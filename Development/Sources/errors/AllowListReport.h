#ifndef VANTREL_ERRORS_ALLOWLISTREPORT_H
#define VANTREL_ERRORS_ALLOWLISTREPORT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vtl
{
// Cuts text at every separator; empty pieces count, an empty text gives no item.
std::vector<std::string> split(const std::string &text, const std::string &separator);

// The whole file as the plug-in reads it, for the allow-list checker. Unlike a call, the reading goes on past
// malformed lines, so that all of them are found at once.
struct cAllowListReport
{
    struct cMalformed
    {
        std::size_t line;    // counted from 1
        std::string message; // what a call refused because of this line records
        std::string reason;  // the rule the line breaks
        bool endsReading;    // no line after it counts for any file (all but an empty list of functions)
    };
    struct cFile
    {
        std::size_t line = 0;
        std::string name;                   // as written
        bool anyFunction = false;           // its list starts with "any"
        std::vector<std::string> functions; // otherwise the names listed, empty ones left out
        std::size_t shadowedBy = 0;         // an earlier line naming the same file, which counts instead (0: none)
    };
    std::vector<cMalformed> malformed; // in the order of the file
    std::vector<cFile> files;          // every line naming a file, in the order of the file
    std::vector<std::string> options;  // every option with the value in force, one line each
};

// Reads the open allow-list fd to its end (or to a line too long).
cAllowListReport ReadAllowListReport(int fd);

// The file-name part of the denial messages and the messages themselves, for tests and documentation.
extern const char *const kAllowListMissing;
extern const char *const kAllowListUnreadable;
extern const char *const kAllowListNoLine;
extern const char *const kAllowListParseError;
extern const char *const kAllowListLineTooLong;
extern const char *const kAllowListUnknownOption;
extern const char *const kShellCommandName;
std::string NotAllowedMessage(std::string_view functionName);
} // namespace vtl

#endif
