// The per-file allow-list: every rule of the file format and every denial, checked in the host emulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FMWrapper/FMXFixPt.h"
#include "errors/AllowList.h"
#include "errors/ErrorCodes.h"
#include "errors/LastError.h"
#include "frame/Version.h"
#include "host/FMUtils.h"
#include "support/PluginTestSupport.h"

using namespace plugintest;

namespace
{
const std::string kPath = TEST_ALLOWLIST_PATH;

class AllowList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::unlink(kPath.c_str());
        ::rmdir(kPath.c_str());
        session.OpenFile("Invoices");
        session.OpenFile("Contacts");
    }
    void TearDown() override
    {
        FMHost::Faults::ClearAll();
        cFMUtils::setHostVersion(0);
        ::unlink(kPath.c_str());
        ::rmdir(kPath.c_str());
    }

    // Asks for name in the calling file; "allowed", or the denial's message (checking "?" and 24012 on the way).
    std::string Ask(const std::string &name = "Vantrel_Version")
    {
        fmx::DataUniquePtr result;
        vtl::SetLastError(0, "before", session.Env());
        if (vtl::isFunctionAllowed(name, session.Env(), *result))
        {
            EXPECT_EQ("before", session.Variable("$$Vantrel_LastErrorMessage").text) << "an allowed call records nothing";
            EXPECT_EQ(FMHost::Type::Invalid, FMHost::TypeOf(*result)) << "and leaves the result alone";
            return "allowed";
        }
        EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*result));
        EXPECT_EQ("?", FMHost::TextOf(*result));
        EXPECT_EQ("24012", session.Variable("$$Vantrel_LastError").text);
        return session.Variable("$$Vantrel_LastErrorMessage").text;
    }
    std::string AskWith(const std::string &content, const std::string &name = "Vantrel_Version")
    {
        WriteFile(kPath, content);
        return Ask(name);
    }

    FMHost::Session session;
};

const std::string kMissing = "zeqPluginsAllowedFunctions.txt doesn't exists";
const std::string kEmpty = "File zeqPluginsAllowedFunctions.txt is empty";
const std::string kParse = "Could not parse file zeqPluginsAllowedFunctions.txt, please check formating and try again";
const std::string kTooLong = "Could not parse file zeqPluginsAllowedFunctions.txt, a line is longer than 65536 bytes";
const std::string kUnknownOption =
    "Could not parse file zeqPluginsAllowedFunctions.txt, unknown option in its /options line";
std::string NotAllowed(const std::string &name)
{
    return "Function " + name + " is not allowed on this server";
}
}

TEST(AllowListSplit, EmptyPiecesCountAndEmptyTextHasNone)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(V{}, vtl::split("", "\t"));
    EXPECT_EQ(V{"abc"}, vtl::split("abc", "\t"));
    EXPECT_EQ((V{"a", "b"}), vtl::split("a\tb", "\t"));
    EXPECT_EQ((V{"a", "b", ""}), vtl::split("a\tb\t", "\t"));
    EXPECT_EQ((V{"", "a", "", "b", ""}), vtl::split("|a||b|", "|"));
    EXPECT_EQ((V{"x", "y"}), vtl::split("x::y", "::"));
}

TEST_F(AllowList, MissingFileOrDirectoryDenies)
{
    EXPECT_EQ(kMissing, Ask());
    ASSERT_EQ(0, ::mkdir(kPath.c_str(), 0700));
    EXPECT_EQ(kMissing, Ask());
    ASSERT_EQ(0, ::rmdir(kPath.c_str()));
    ASSERT_EQ(0, ::mkfifo(kPath.c_str(), 0600));
    EXPECT_EQ(kMissing, Ask()) << "a FIFO neither counts nor blocks the caller";
}

TEST_F(AllowList, UnreadableFileDenies)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    WriteFile(kPath, "Invoices\tany\n");
    ::chmod(kPath.c_str(), 0);
    EXPECT_EQ("Could not open file zeqPluginsAllowedFunctions.txt, please check permissions and try again", Ask());
}

TEST_F(AllowList, NoLineForTheFileSaysEmpty)
{
    EXPECT_EQ(kEmpty, AskWith(""));
    EXPECT_EQ(kEmpty, AskWith("Contacts\tany\nOrders.fmp12\tVantrel_Version\n"));
    EXPECT_EQ(kEmpty, AskWith("Contacts\tany")) << "without a final line feed";
}

TEST_F(AllowList, MatchingLineDecides)
{
    EXPECT_EQ("allowed", AskWith("Invoices\tVantrel_Get|Vantrel_Version\n"));
    EXPECT_EQ("allowed", AskWith("Contacts\tany\nInvoices\tVantrel_Version"));
    EXPECT_EQ(NotAllowed("Vantrel_Get"), AskWith("Invoices\tVantrel_Version\n", "Vantrel_Get"));
    EXPECT_EQ(NotAllowed("Vantrel_Version"), AskWith("Invoices\tvantrel_version|Vantrel_Version2\n"));
    EXPECT_EQ("allowed", AskWith("Invoices\tVantrel_Version|\n")) << "a trailing | leaves the names before it";
    EXPECT_EQ(kParse, AskWith("Invoices\t\n")) << "an empty list";
}

TEST_F(AllowList, AnyCountsOnlyFirst)
{
    EXPECT_EQ("allowed", AskWith("Invoices\tany|Vantrel_Get\n", "Vantrel_ExecuteSQL"));
    EXPECT_EQ(NotAllowed("Vantrel_ExecuteSQL"), AskWith("Invoices\tVantrel_Get|any\n", "Vantrel_ExecuteSQL"));
    EXPECT_EQ(NotAllowed("Vantrel_Version"), AskWith("Invoices\tANY\n"));
}

TEST_F(AllowList, MalformedLinesCountOnlyBeforeTheMatch)
{
    EXPECT_EQ(kParse, AskWith("\nInvoices\tany\n"));
    EXPECT_EQ(kParse, AskWith("Contacts any\nInvoices\tany\n"));
    EXPECT_EQ(kParse, AskWith("Contacts\tany\tmore\nInvoices\tany\n"));
    EXPECT_EQ(kParse, AskWith("Invoices\tany\tmore\n")) << "the matching line itself";
    EXPECT_EQ("allowed", AskWith("Invoices\tany\n\nno tab here\n\t\t\n"));
    EXPECT_EQ(kParse, AskWith("Contacts\tany\n\n")) << "a blank last line before the end counts too";
}

TEST_F(AllowList, CarriageReturnsStayInTheLine)
{
    EXPECT_EQ(NotAllowed("Vantrel_Version"), AskWith("Invoices\tany\r\n"));
    EXPECT_EQ("allowed", AskWith("Invoices\tVantrel_Version|Vantrel_Get\r\n"));
    EXPECT_EQ(NotAllowed("Vantrel_Get"), AskWith("Invoices\tVantrel_Version|Vantrel_Get\r\n", "Vantrel_Get"));
}

TEST_F(AllowList, FileNamesMatchExactlyWithOrWithoutFmp12)
{
    EXPECT_EQ("allowed", AskWith("Invoices.fmp12\tany\n"));
    EXPECT_EQ(kEmpty, AskWith("invoices\tany\n"));
    EXPECT_EQ(kEmpty, AskWith("Invoices.fp7\tany\n"));
    EXPECT_EQ(kEmpty, AskWith("Invoices.FMP12\tany\n"));
    EXPECT_EQ(kEmpty, AskWith(" Invoices\tany\n"));
    EXPECT_EQ(kEmpty, AskWith("Invoices \tany\n"));
    ASSERT_TRUE(session.SetCallingFile("Contacts"));
    EXPECT_EQ("allowed", AskWith("Invoices\tVantrel_Get\nContacts\tVantrel_Version\n"));
}

TEST_F(AllowList, OnlyTheFirstLineForAFileCounts)
{
    EXPECT_EQ(NotAllowed("Vantrel_Version"), AskWith("Invoices\tVantrel_Get\nInvoices\tany\n"));
    EXPECT_EQ("allowed", AskWith("Invoices.fmp12\tany\nInvoices\tVantrel_Get\n"));
}

// The checker command reads the file with the same parser: what it says a file may call is what calls get.
TEST_F(AllowList, TheCheckersReadingAgreesWithTheCalls)
{
    WriteFile(kPath, "Contacts.fmp12\tVantrel_Get|\nInvoices\tVantrel_Version\r\nContacts\tany\nReports\t\n"
                     "Archive\tany|Vantrel_Get\n\nBudget\tany\n");
    const int fd = ::open(kPath.c_str(), O_RDONLY);
    ASSERT_LE(0, fd);
    const vtl::cAllowListReport report = vtl::ReadAllowListReport(fd);
    ::close(fd);
    ASSERT_EQ(6u, report.files.size());
    std::size_t ending = 0;
    for (const vtl::cAllowListReport::cMalformed &line : report.malformed)
        if (line.endsReading && ending == 0)
            ending = line.line;
    EXPECT_EQ(6u, ending);

    for (const vtl::cAllowListReport::cFile &file : report.files)
    {
        if (file.shadowedBy != 0)
            continue;
        std::string name = file.name;
        if (name.size() > 6 && name.compare(name.size() - 6, 6, ".fmp12") == 0)
            name.resize(name.size() - 6);
        session.OpenFile(name);
        ASSERT_TRUE(session.SetCallingFile(name));
        for (const std::string function : {"Vantrel_Get", "Vantrel_Version"})
        {
            const bool listed = file.anyFunction ||
                                std::find(file.functions.begin(), file.functions.end(), function) != file.functions.end();
            const bool reported = (ending == 0 || file.line < ending) && listed;
            EXPECT_EQ(reported, Ask(function) == "allowed") << name << " " << function;
        }
    }
}

TEST_F(AllowList, UnknownFileNameIsQuestionMark)
{
    FMHost::Faults::FailEvaluation("Get( fileName )", 1200);
    EXPECT_EQ(kEmpty, AskWith("Invoices\tany\n"));
    EXPECT_EQ("allowed", AskWith("Invoices\tVantrel_Get\n?\tany\n"));
    EXPECT_EQ("allowed", AskWith("?.fmp12\tVantrel_Version\n"));
}

TEST_F(AllowList, HostsWithGetFunctionsNameTheFileWithoutACalculation)
{
    struct
    {
        int hostVersion;
        bool getFunctionFails, calculationFails;
        std::string expected;
    } const cases[] = {
        {71, false, true, "allowed"}, // the Get function answers; the calculation is not needed
        {71, true, false, "allowed"}, // a host refusing the Get function still has the calculation
        {71, true, true, kEmpty},     // neither: the name is "?"
        {60, false, true, "allowed"},
        {59, false, true, kEmpty},    // older hosts are asked the calculation only
    };
    for (const auto &c : cases)
    {
        FMHost::Faults::ClearAll();
        cFMUtils::setHostVersion(c.hostVersion);
        if (c.getFunctionFails)
            FMHost::Faults::FailGetFunction(fmx::ExprEnv::kGet_FileName);
        if (c.calculationFails)
            FMHost::Faults::FailEvaluation("Get( fileName )");
        EXPECT_EQ(c.expected, AskWith("Invoices\tany\n")) << "host version " << c.hostVersion;
    }
}

TEST_F(AllowList, LongFilesAndLongLines)
{
    std::string content;
    for (int i = 0; i < 10000; ++i)
        content += "Other" + std::to_string(i) + "\tVantrel_Version|Vantrel_Get\n";
    const std::string longList = std::string(60000, 'x') + "|Vantrel_Version";
    EXPECT_EQ("allowed", AskWith(content + "Invoices\tVantrel_Version"));
    EXPECT_EQ("allowed", AskWith(content + "Other\t" + longList + "\nInvoices\t" + longList + "\n"));
    EXPECT_EQ(kEmpty, AskWith(content));
    // Beyond 1 MiB the file is read up to the caller's line on every call.
    std::string large;
    while (large.size() < 1500000)
        large += content;
    EXPECT_EQ("allowed", AskWith(large + "Invoices\tVantrel_Version\n"));
    EXPECT_EQ(NotAllowed("Vantrel_Get"), AskWith("Invoices\tVantrel_Version\n" + large, "Vantrel_Get"));
    EXPECT_EQ(kEmpty, AskWith(large));
}

TEST_F(AllowList, ALineLongerThan64KiBIsMalformed)
{
    const std::string justFits = "Invoices\t" + std::string(65536 - 25, 'x') + "|Vantrel_Version";
    ASSERT_EQ(65536u, justFits.size());
    EXPECT_EQ("allowed", AskWith(justFits + "\n"));
    EXPECT_EQ("allowed", AskWith(justFits)) << "without a final line feed";
    EXPECT_EQ(kTooLong, AskWith("x" + justFits + "\n")) << "the caller's own line";
    EXPECT_EQ(kTooLong, AskWith("x" + justFits));
    const std::string longOther = "Other\t" + std::string(100000, 'y') + "\n";
    EXPECT_EQ(kTooLong, AskWith(longOther + "Invoices\tany\n"));
    EXPECT_EQ("allowed", AskWith("Invoices\tany\n" + longOther)) << "lines after the caller's are not read";
    EXPECT_EQ(kTooLong, AskWith(std::string(3000000, 'z'))) << "a large file of one line";
}

TEST_F(AllowList, TheShellCommandIsGovernedOnlyWhenTheFileOptsIn)
{
    const auto askShell = [&](const std::string &content) {
        WriteFile(kPath, content);
        fmx::DataUniquePtr result;
        vtl::SetLastError(0, "before", session.Env());
        if (vtl::isShellCommandAllowed(session.Env(), *result))
            return std::string("allowed");
        EXPECT_EQ("?", FMHost::TextOf(*result));
        return session.Variable("$$Vantrel_LastErrorMessage").text;
    };
    const std::string optIn = "/options\tshell-command-obeys-allow-list\n";

    // Without the option: whatever the file holds, or without a file.
    EXPECT_EQ("allowed", askShell("Invoices\tVantrel_Version\n"));
    EXPECT_EQ("allowed", askShell("\nbroken\n"));
    EXPECT_EQ("allowed", askShell("Invoices\tVantrel_Version\n" + optIn)) << "options count only at the top";
    ::unlink(kPath.c_str());
    fmx::DataUniquePtr result;
    EXPECT_TRUE(vtl::isShellCommandAllowed(session.Env(), *result));

    // With it: like every other function.
    EXPECT_EQ(NotAllowed("Vantrel_DoBashCmd"), askShell(optIn + "Invoices\tVantrel_Version\n"));
    EXPECT_EQ("allowed", askShell(optIn + "Invoices\tVantrel_Version|Vantrel_DoBashCmd\n"));
    EXPECT_EQ("allowed", askShell("/options\t\n" + optIn + "Invoices\tany\n"));
    EXPECT_EQ(kEmpty, askShell(optIn + "Contacts\tany\n"));
    EXPECT_EQ(kEmpty, askShell(optIn));
    EXPECT_EQ(kParse, askShell(optIn + "\nInvoices\tany\n"));
    EXPECT_EQ(kTooLong, askShell(optIn + "Other\t" + std::string(70000, 'o') + "\n"));
    std::string large = optIn;
    while (large.size() < 1500000)
        large += "Other\tVantrel_Version\n";
    EXPECT_EQ(NotAllowed("Vantrel_DoBashCmd"), askShell(large + "Invoices\tVantrel_Get\n"));

    // The other functions read the options line as older versions of the plug-in do: as a file's line.
    EXPECT_EQ("allowed", AskWith(optIn + "Invoices\tVantrel_Version\n"));
    EXPECT_EQ(NotAllowed("Vantrel_Get"), AskWith(optIn + "Invoices\tVantrel_Version\n", "Vantrel_Get"));

    // A misspelt option denies everything rather than leave the shell open unnoticed.
    const std::string misspelt = "/options\tshell-command-obeys-allowlist\nInvoices\tany\n";
    EXPECT_EQ(kUnknownOption, askShell(misspelt));
    EXPECT_EQ(kUnknownOption, AskWith(misspelt));
}

TEST_F(AllowList, OptionsTakeTheirValuesOrDenyEverything)
{
    const auto optionsOf = [&](const std::string &optionsLine) {
        WriteFile(kPath, "/options\t" + optionsLine + "\nInvoices\tany\n");
        fmx::DataUniquePtr result;
        vtl::cAllowListOptions options;
        options.shellCommandTimeout = -1; // must be overwritten, also on a denial
        EXPECT_TRUE(vtl::isShellCommandAllowed(session.Env(), *result, &options)) << optionsLine;
        return options;
    };
    EXPECT_EQ(0, optionsOf("").shellCommandTimeout);
    EXPECT_TRUE(optionsOf("").journal);
    EXPECT_EQ(30, optionsOf("shell-command-timeout=30").shellCommandTimeout);
    EXPECT_EQ(86400, optionsOf("shell-command-timeout=86400").shellCommandTimeout);
    EXPECT_EQ(5, optionsOf("shell-command-timeout=30|shell-command-timeout=5").shellCommandTimeout);
    EXPECT_FALSE(optionsOf("log=off").journal);
    EXPECT_TRUE(optionsOf("log=off|log=on").journal);
    const vtl::cAllowListOptions both = optionsOf("log=off|shell-command-timeout=7");
    EXPECT_EQ(7, both.shellCommandTimeout);
    EXPECT_FALSE(both.journal);

    // Anything else is an unknown option: every function is denied, and none of the line's options is in force.
    for (const char *bad : {"shell-command-timeout=0", "shell-command-timeout=-5", "shell-command-timeout=+5",
                            "shell-command-timeout=1.5", "shell-command-timeout=", "shell-command-timeout=86401",
                            "shell-command-timeout=99999999999999999999", "shell-command-timeout= 5",
                            "shell-command-timeout=5s", "log=OFF", "log", "log=off|"})
    {
        EXPECT_EQ(kUnknownOption, AskWith("/options\t" + std::string(bad) + "\nInvoices\tany\n")) << bad;
        fmx::DataUniquePtr result;
        vtl::cAllowListOptions options;
        EXPECT_FALSE(vtl::isShellCommandAllowed(session.Env(), *result, &options)) << bad;
        EXPECT_EQ(0, options.shellCommandTimeout) << bad;
        EXPECT_TRUE(options.journal) << bad;
    }
    // The same options hold in a file too large to be kept parsed.
    std::string large = "/options\tshell-command-timeout=12|log=off\n";
    while (large.size() < 1500000)
        large += "Other\tVantrel_Version\n";
    WriteFile(kPath, large);
    fmx::DataUniquePtr result;
    vtl::cAllowListOptions options;
    EXPECT_TRUE(vtl::isShellCommandAllowed(session.Env(), *result, &options));
    EXPECT_EQ(12, options.shellCommandTimeout);
    EXPECT_FALSE(options.journal);
}

TEST(AllowListOptions, DescribedOneLineEachWithTheirValues)
{
    vtl::cAllowListOptions options;
    const std::vector<std::string> defaults = vtl::DescribeAllowListOptions(options);
    ASSERT_EQ(3u, defaults.size());
    EXPECT_EQ("shell-command-obeys-allow-list: off (Vantrel_DoBashCmd runs in every file)", defaults[0]);
    EXPECT_EQ("shell-command-timeout: none (a shell command runs until it ends)", defaults[1]);
    EXPECT_EQ("log=on: refusals and faults go to the system journal (journalctl -t Vantrel)", defaults[2]);
    options.shellCommandObeysAllowList = true;
    options.shellCommandTimeout = 30;
    options.journal = false;
    const std::vector<std::string> set = vtl::DescribeAllowListOptions(options);
    ASSERT_EQ(3u, set.size());
    EXPECT_EQ("shell-command-obeys-allow-list: Vantrel_DoBashCmd runs only where a file's line names it", set[0]);
    EXPECT_EQ("shell-command-timeout=30: a shell command is ended after 30 seconds", set[1]);
    EXPECT_EQ("log=off: nothing goes to the system journal", set[2]);
}

TEST_F(AllowList, AnUnchangedFileIsReadOnceAndEveryChangeIsSeen)
{
    WriteFile(kPath, "Invoices\tVantrel_Version\n");
    // Just written: a second change could hide under the same time stamps, so every call reads the file.
    unsigned long reads = vtl::AllowListFileReads();
    EXPECT_EQ("allowed", Ask());
    EXPECT_EQ("allowed", Ask());
    EXPECT_EQ(reads + 2, vtl::AllowListFileReads());

    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    reads = vtl::AllowListFileReads();
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ("allowed", Ask());
    EXPECT_EQ(reads + 1, vtl::AllowListFileReads()) << "settled: read once";
    EXPECT_EQ(NotAllowed("Vantrel_Get"), Ask("Vantrel_Get"));
    EXPECT_EQ(reads + 1, vtl::AllowListFileReads());

    // The same size and the modification time put back: the change time still tells.
    struct stat before;
    ASSERT_EQ(0, ::stat(kPath.c_str(), &before));
    WriteFile(kPath, "Invoices\tVantrel_Get|Vantr\n");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, kPath.c_str(), times, 0));
    EXPECT_EQ(NotAllowed("Vantrel_Version"), Ask());
    EXPECT_EQ("allowed", Ask("Vantrel_Get"));

    // Another file put in its place.
    const std::string other = kPath + ".new";
    WriteFile(other, "Invoices\tVantrel_Get|Vantrel_Version\n");
    ASSERT_EQ(0, ::rename(other.c_str(), kPath.c_str()));
    EXPECT_EQ("allowed", Ask());
    ::unlink(kPath.c_str());
    EXPECT_EQ(kMissing, Ask());
    ASSERT_EQ(0, ::mkdir(kPath.c_str(), 0700));
    EXPECT_EQ(kMissing, Ask());
}

TEST_F(AllowList, ConcurrentCallsWhileTheFileChanges)
{
    // Server threads ask at once while the administrator rewrites the file: every answer is one that some
    // version of the file gives, never a torn one.
    const std::string versions[] = {"Invoices\tVantrel_Version\n", "Contacts\tany\nInvoices\tVantrel_Get\n",
                                    "Invoices\tany\n"};
    WriteFile(kPath, versions[0]);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            FMHost::Session own;
            own.OpenFile(t % 2 ? "Invoices" : "Contacts");
            const std::string name = t % 2 ? "Vantrel_Version" : "Vantrel_Get";
            int calls = 0;
            while (!stop.load() || calls < 200)
            {
                fmx::DataUniquePtr result;
                const bool allowed = vtl::isFunctionAllowed(name, own.Env(), *result);
                const std::string message = own.Variable("$$Vantrel_LastErrorMessage").text;
                if (!allowed && message != NotAllowed(name) && message != kEmpty)
                    ++wrong;
                ++calls;
            }
        });
    for (int i = 0; i < 300; ++i)
    {
        const std::string next = kPath + ".next";
        WriteFile(next, versions[i % 3]);
        ::rename(next.c_str(), kPath.c_str());
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop = true;
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(0, wrong.load());
}

TEST_F(AllowList, ChangesTakeEffectAtTheNextCall)
{
    EXPECT_EQ("allowed", AskWith("Invoices\tany\n"));
    EXPECT_EQ(kEmpty, AskWith("Contacts\tany\n"));
    ::unlink(kPath.c_str());
    EXPECT_EQ(kMissing, Ask());
}

TEST_F(AllowList, HostFailureDuringTheCheckBecomes2400InTheFunction)
{
    WriteFile(kPath, "Invoices\tany\n");
    cLoadedPlugIn plugin;
    ASSERT_EQ(62, plugin.initialised);
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr result;
    ASSERT_EQ(0, session.Call("Vantrel_Version", *args, *result));
    ASSERT_EQ("3.2", FMHost::TextOf(*result));

    // Find how many host calls one check makes, then fail each of them in turn.
    fmx::DataUniquePtr probe;
    FMHost::Faults::FailNthCall(1000000);
    ASSERT_TRUE(vtl::isFunctionAllowed("Vantrel_Version", session.Env(), *probe));
    const unsigned long calls = FMHost::Faults::CallsCounted();
    ASSERT_GT(calls, 0u);
    for (unsigned n = 1; n <= calls; ++n)
    {
        fmx::DataUniquePtr denied;
        FMHost::Faults::FailNthCall(n, fmx::_fmxcpt::kBadAlloc);
        EXPECT_THROW(vtl::isFunctionAllowed("Vantrel_Version", session.Env(), *denied), std::bad_alloc) << n;
    }
    FMHost::Faults::ClearCallFailure();

    // Through the function: the host sees 0, the calculation 2400 and the last error the reason.
    for (unsigned n = 1; n <= calls; ++n)
    {
        fmx::DataUniquePtr viaFunction;
        FMHost::Faults::FailNthCall(n, fmx::_fmxcpt::kBadAlloc);
        EXPECT_EQ(0, Vantrel_Version(1, session.Env(), *args, *viaFunction)) << n;
        FMHost::Faults::ClearCallFailure();
        EXPECT_EQ("2400", FMHost::TextOf(*viaFunction)) << n;
        EXPECT_EQ("std::bad_alloc", session.Variable("$$Vantrel_LastErrorMessage").text) << n;
    }
}
