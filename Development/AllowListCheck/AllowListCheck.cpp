// vantrel-allowlist-check [--user NAME] [FILE]: reads the allow-list (the production one, or FILE) with the
// plug-in's own parser and tells the administrator whether the plug-in can read it, what is wrong in it, and what
// each database file may call. The exit status says whether the plug-in would accept the file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "UserAccess.h"
#include "errors/AllowListReport.h"
#include "errors/AllowListPath.h"

namespace
{
// Exit statuses, as the manual page documents them.
constexpr int kAccepted = 0;     // the plug-in reads the file and every line of it is well formed
constexpr int kMalformed = 1;    // the plug-in reads the file but refuses calls because of lines in it
constexpr int kUsage = 2;        // wrong arguments
constexpr int kUnreadable = 3;   // the plug-in cannot reach or read the file: every call is refused
constexpr int kNotExamined = 4;  // this command itself could not read the file (run it as root)

const char *const kUsageText = "usage: vantrel-allowlist-check [--user NAME] [FILE]\n"
                               "  FILE defaults to the allow-list the plug-in reads; NAME (the user FileMaker Server\n"
                               "  runs as) to fmserver\n";

// Bytes of the file as they would have to be typed: TABs, carriage returns and other control bytes made visible.
std::string Visible(const std::string &text)
{
    std::string out;
    for (const unsigned char c : text)
    {
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7f)
        {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
        else
            out += static_cast<char>(c);
    }
    return out;
}

std::string Mode(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Prints the way to the file as the user sees it; false when the user surely cannot read it.
bool PrintAccess(const std::string &path, const std::string &user)
{
    const vtl::cUserAccess access(user);
    if (!access.found())
    {
        std::cout << "Access: there is no user " << user << " on this machine, so its permissions are not checked"
                  << " (FileMaker Server is not installed here, or runs as another user: see --user).\n";
        return true;
    }
    std::cout << "Access as " << access.describe() << ":\n";
    const std::vector<vtl::cUserAccess::cStep> steps = access.walk(path);
    for (const vtl::cUserAccess::cStep &step : steps)
    {
        const char *verdict = step.allowed ? "ok      "
                              : step.found ? "DENIED  "
                              : step.hidden ? "?       "
                                            : "MISSING ";
        std::cout << "  " << verdict << step.path;
        if (!step.owner.empty())
            std::cout << "  " << step.owner << ":" << step.group << " " << Mode(step.mode);
        if (!step.problem.empty())
            std::cout << "  " << step.problem;
        if (step.acl)
            std::cout << "  (has an access control list, which may change this: getfacl shows it)";
        std::cout << "\n";
    }
    if (steps.back().hidden)
    {
        std::cout << "  This command may not look further: run it as root (sudo).\n";
        return true; // not known; reading the file tells
    }
    bool folders = true; // the user may search every folder on the way
    for (std::size_t i = 0; i + 1 < steps.size(); ++i)
        folders = folders && steps[i].allowed;
    const vtl::cUserAccess::cStep &last = steps.back();
    if (folders && last.file && last.allowed)
        return true;
    // Without a way to the file the plug-in cannot even see it, and takes it for missing.
    std::cout << "  The plug-in would refuse every call with \""
              << (folders && last.file && last.found ? vtl::kAllowListUnreadable : vtl::kAllowListMissing)
              << "\".\n";
    return false;
}

// The malformed lines, the options and what each file may call; true when no line is malformed.
bool PrintContent(const vtl::cAllowListReport &report)
{
    if (report.malformed.empty())
        std::cout << "Malformed lines: none\n";
    else
        std::cout << "Malformed lines:\n";
    std::size_t firstEnding = 0; // the first malformed line after which no line counts
    bool unknownOption = false;
    for (const vtl::cAllowListReport::cMalformed &line : report.malformed)
    {
        std::cout << "  line " << line.line << ": " << Visible(line.reason) << "\n"
                  << "    calls get: " << line.message << "\n";
        if (line.endsReading && firstEnding == 0)
            firstEnding = line.line;
        unknownOption = unknownOption || line.message == vtl::kAllowListUnknownOption;
    }

    std::cout << "Options in force:\n";
    if (unknownOption)
        std::cout << "  none: with an unknown option the plug-in refuses every call\n";
    for (std::size_t i = 0; !unknownOption && i < report.options.size(); ++i)
        std::cout << "  " << report.options[i] << "\n";

    std::cout << "Files and the functions they may call:\n";
    if (report.files.empty())
        std::cout << "  none: every function answers ? in every file (\"" << vtl::kAllowListNoLine << "\")\n";
    for (const vtl::cAllowListReport::cFile &file : report.files)
    {
        std::cout << "  line " << file.line << " " << Visible(file.name) << ": ";
        if (file.shadowedBy != 0)
            std::cout << "ignored, line " << file.shadowedBy << " names the same file\n";
        else if (firstEnding != 0 && firstEnding < file.line)
            std::cout << "nothing, line " << firstEnding << " above it is malformed\n";
        else if (file.anyFunction)
            std::cout << "every function\n";
        else if (file.functions.empty())
            std::cout << "nothing, its list is empty\n";
        else
        {
            const char *separator = "";
            bool carriageReturn = false;
            for (const std::string &function : file.functions)
            {
                std::cout << separator << Visible(function);
                separator = ", ";
                carriageReturn = carriageReturn || function.find('\r') != std::string::npos;
            }
            std::cout << "\n";
            if (carriageReturn)
                std::cout << "    a name with \\r never matches: save the file with LF line ends, not CR LF\n";
        }
    }
    return report.malformed.empty();
}

int Run(int argc, char **argv)
{
    std::string user = "fmserver", path = vtl::AllowListPath();
    bool pathGiven = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            std::cout << kUsageText;
            return kAccepted;
        }
        if (argument == "--user" && i + 1 < argc)
            user = argv[++i];
        else if (!argument.empty() && argument[0] != '-' && !pathGiven)
            path = argument, pathGiven = true;
        else
        {
            std::cerr << "vantrel-allowlist-check: unexpected argument " << argument << "\n" << kUsageText;
            return kUsage;
        }
    }

    std::cout << "Allow-list: " << path << "\n";
    const bool reachable = PrintAccess(path, user);

    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        const int error = fd < 0 ? errno : 0;
        if (fd >= 0)
            ::close(fd);
        if (error == EACCES || error == EPERM)
        {
            std::cout << "This command may not read the file itself: run it as root (sudo) or as " << user << ".\n";
            return reachable ? kNotExamined : kUnreadable;
        }
        std::cout << "No regular file there: the plug-in refuses every call with \"" << vtl::kAllowListMissing
                  << "\".\n";
        return kUnreadable;
    }
    const vtl::cAllowListReport report = vtl::ReadAllowListReport(fd);
    ::close(fd);
    const bool wellFormed = PrintContent(report);

    if (!reachable)
        std::cout << "Result: the plug-in cannot read this file (exit status " << kUnreadable << ").\n";
    else if (!wellFormed)
        std::cout << "Result: the plug-in refuses calls because of the malformed lines (exit status " << kMalformed
                  << ").\n";
    else
        std::cout << "Result: the plug-in accepts this file.\n";
    return !reachable ? kUnreadable : wellFormed ? kAccepted : kMalformed;
}
}

int main(int argc, char **argv)
{
    try
    {
        return Run(argc, argv);
    }
    catch (const std::exception &error)
    {
        std::cerr << "vantrel-allowlist-check: " << error.what() << "\n";
        return kNotExamined;
    }
}
