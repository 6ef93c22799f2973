#ifndef VANTREL_ERRORS_ALLOWLIST_H
#define VANTREL_ERRORS_ALLOWLIST_H

#include <string>
#include <string_view>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "errors/AllowListOptions.h"

// The administrator's per-file allow-list (path: vtl::AllowListPath()). Lines "<file>\t<name>|<name>|...";
// "any" as the first name allows every function; leading lines "/options\t<option>|..." switch options on. A change
// takes effect at the next call: the parsed file is kept only while its identity, size and time stamps stay the same.
namespace vtl
{
// True when functionName may run for the file whose calculation called it. When false, result holds the text "?"
// and the last error is 24012 with the reason. Throws only when the host fails (SDK errors).
bool isFunctionAllowed(std::string_view functionName, const fmx::ExprEnv &env, fmx::Data &result);

// The same for Vantrel_DoBashCmd, which the allow-list governs only when the file has the option
// "shell-command-obeys-allow-list"; otherwise (also without a readable file) true, with nothing asked of the host.
// options, when given, receives the file's options (the defaults without a readable file).
bool isShellCommandAllowed(const fmx::ExprEnv &env, fmx::Data &result, cAllowListOptions *options = nullptr);

// How many times the file has been read since the plug-in was loaded (for tests and benchmarks).
unsigned long AllowListFileReads();

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
}

class cFileManager
{
public:
    // A regular file exists at path (a directory or anything else counts as missing). When size is given, it
    // receives the file's size in bytes.
    static bool fileExists(const char *path, long long *size = nullptr);
};

#endif
