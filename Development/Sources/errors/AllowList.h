#ifndef VANTREL_ERRORS_ALLOWLIST_H
#define VANTREL_ERRORS_ALLOWLIST_H

#include <string>
#include <string_view>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "errors/AllowListOptions.h"
#include "errors/AllowListReport.h"

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

}

class cFileManager
{
public:
    // A regular file exists at path (a directory or anything else counts as missing). When size is given, it
    // receives the file's size in bytes.
    static bool fileExists(const char *path, long long *size = nullptr);
};

#endif
