// The built plug-ins loaded by fmhost: messages, registration, allow-list and the frame's own functions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "support/PluginTestSupport.h"

using namespace plugintest;

namespace
{
// The sandbox allow-list is shared by every end-to-end program: keep its content and put it back.
class FrameEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        struct stat info;
        hadFile = ::stat(SANDBOX_ALLOWLIST_PATH, &info) == 0;
        if (hadFile)
            saved = ReadFile(SANDBOX_ALLOWLIST_PATH);
    }
    void TearDown() override
    {
        if (hadFile)
            WriteFile(SANDBOX_ALLOWLIST_PATH, saved);
        else
            ::unlink(SANDBOX_ALLOWLIST_PATH);
    }
    static cFmhostRun Sandbox(const std::string &arguments) { return RunFmhost("--file Invoices --file Contacts " + arguments); }

    bool hadFile = false;
    std::string saved;
};

std::string Calc(const std::string &calculation)
{
    return "-e " + Quote(calculation);
}
}

TEST_F(FrameEndToEnd, FunctionsWithoutLinuxImplementationInTheProductionPlugin)
{
    const cFmhostRun run = RunFmhost(std::string("--plugin ") + Quote(PRODUCTION_PLUGIN_PATH) + " " +
                                     Calc("Vantrel_GetPrinterNames") + " " + Calc("$$Vantrel_LastErrorMessage") + " " +
                                     Calc("Vantrel_DoSystemScript ( \"a\" ; \"b\" )") + " " +
                                     Calc("$$Vantrel_LastErrorMessage"));
    ASSERT_EQ(4u, run.lines.size()) << run.output;
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(0, run.lines[0].error);
    EXPECT_EQ("Number", run.lines[0].type);
    EXPECT_EQ("-4", run.lines[0].value);
    EXPECT_EQ("Text", run.lines[1].type);
    EXPECT_EQ("Linux doesn't support this function.", run.lines[1].value);
    EXPECT_EQ("-4", run.lines[2].value);
    EXPECT_EQ("Not implemented in Linux.", run.lines[3].value);
}

TEST_F(FrameEndToEnd, HostChecksArgumentCountsBeforeCallingThePlugin)
{
    const cFmhostRun run = Sandbox(Calc("Let ( $$Vantrel_LastErrorMessage = \"kept\" ; 1 )") + " " +
                                   Calc("Vantrel_Encode ( \"x\" )") + " " + Calc("$$Vantrel_LastErrorMessage"));
    ASSERT_EQ(3u, run.lines.size()) << run.output;
    EXPECT_NE(0, run.lines[1].error);
    EXPECT_EQ("kept", run.lines[2].value);
    EXPECT_EQ(1, run.status);
}

TEST_F(FrameEndToEnd, VersionFollowsTheSandboxAllowList)
{
    WriteFile(SANDBOX_ALLOWLIST_PATH, "Contacts\tVantrel_GetTimestamp\nInvoices.fmp12\tVantrel_Version|Vantrel_ValueType\n");
    cFmhostRun run = Sandbox(Calc("Vantrel_Version ( \"LONG\" )") + " " + Calc("Vantrel_Version ( \"autoupdate\" )") +
                             " " + Calc("Vantrel_Version ( \"platform\" )") + " " + Calc("Vantrel_GetTimestamp") +
                             " " + Calc("$$Vantrel_LastError & \" \" & $$Vantrel_LastErrorMessage"));
    ASSERT_EQ(5u, run.lines.size()) << run.output;
    EXPECT_EQ("Zeq Vantrel Plug-In 3.2", run.lines[0].value);
    EXPECT_EQ("03020008", run.lines[1].value);
    EXPECT_EQ("Linux", run.lines[2].value);
    EXPECT_EQ(0, run.lines[3].error);
    EXPECT_EQ("?", run.lines[3].value);
    EXPECT_EQ("24012 Function Vantrel_GetTimestamp is not allowed on this server", run.lines[4].value);
    EXPECT_EQ(0, run.status);

    ::unlink(SANDBOX_ALLOWLIST_PATH);
    run = Sandbox(Calc("Vantrel_Version ( \"LONG\" )") + " " + Calc("$$Vantrel_LastErrorMessage"));
    ASSERT_EQ(2u, run.lines.size()) << run.output;
    EXPECT_EQ("?", run.lines[0].value);
    EXPECT_EQ("zeqPluginsAllowedFunctions.txt doesn't exists", run.lines[1].value);
}

TEST_F(FrameEndToEnd, AllowListFormatRules)
{
    struct cCase
    {
        const char *content;
        const char *answer;
    } cases[] = {
        {"Invoices\tany\r\n", "Function Vantrel_Version is not allowed on this server"},
        {"\nInvoices\tany\n", "Could not parse file zeqPluginsAllowedFunctions.txt, please check formating and try again"},
        {"Invoices\tany\n\nbroken\n", "3.2"},
        {"invoices\tany\n", "File zeqPluginsAllowedFunctions.txt is empty"},
        {"Invoices\tVantrel_Get\nInvoices\tany\n", "Function Vantrel_Version is not allowed on this server"},
        {"Invoices\tVantrel_Get|any\n", "Function Vantrel_Version is not allowed on this server"},
        {"Invoices\tany|Vantrel_Get\n", "3.2"},
    };
    for (const cCase &c : cases)
    {
        WriteFile(SANDBOX_ALLOWLIST_PATH, c.content);
        const cFmhostRun run =
            Sandbox(Calc("Let ( [ v = Vantrel_Version ] ; If ( v = \"?\" ; $$Vantrel_LastErrorMessage ; v ) )"));
        ASSERT_EQ(1u, run.lines.size()) << run.output;
        EXPECT_EQ(0, run.lines[0].error);
        EXPECT_EQ(c.answer, run.lines[0].value) << c.content;
    }
}

TEST_F(FrameEndToEnd, ValueTypeAndTimestamp)
{
    WriteFile(SANDBOX_ALLOWLIST_PATH, "Invoices\tany\n");
    const std::time_t now = std::time(nullptr);
    const cFmhostRun run = Sandbox(Calc("Vantrel_ValueType ( \"a\" )") + " " + Calc("Vantrel_ValueType ( 1 )") + " " +
                                   Calc("Vantrel_ValueType ( Date ( 1 ; 2 ; 2026 ) )") + " " +
                                   Calc("Vantrel_ValueType ( Time ( 1 ; 2 ; 3 ) )") + " " +
                                   Calc("Vantrel_ValueType ( Vantrel_GetTimestamp )") + " " +
                                   Calc("GetAsNumber ( Vantrel_GetTimestamp )") + " " +
                                   Calc("Vantrel_ValueType ( $$neverSet )"));
    ASSERT_EQ(7u, run.lines.size()) << run.output;
    EXPECT_EQ("Text", run.lines[0].value);
    EXPECT_EQ("Number", run.lines[1].value);
    EXPECT_EQ("Date", run.lines[2].value);
    EXPECT_EQ("Time", run.lines[3].value);
    EXPECT_EQ("Timestamp", run.lines[4].value);
    EXPECT_EQ("Number", run.lines[5].type);
    // Seconds since 0001-01-01 in UTC, within a second or two of this process's clock.
    EXPECT_NEAR(static_cast<double>(now) + 62135596800.0, std::stod(run.lines[5].value), 2.0) << run.lines[5].value;
    EXPECT_EQ("Text", run.lines[6].type) << "a value without a type gives the empty text";
    EXPECT_EQ("", run.lines[6].value);
}

TEST_F(FrameEndToEnd, ProductionPluginReadsOnlyItsFixedPath)
{
    struct stat info;
    if (::stat("/opt/FileMaker/FileMaker Server/Data/Zeq/zeqPluginsAllowedFunctions.txt", &info) == 0)
        GTEST_SKIP() << "this machine has a production allow-list";
    WriteFile(SANDBOX_ALLOWLIST_PATH, "Invoices\tany\n");
    const cFmhostRun run = RunFmhost(std::string("--plugin ") + Quote(PRODUCTION_PLUGIN_PATH) +
                                     " --file Invoices " + Calc("Vantrel_Version ( \"LONG\" )") + " " +
                                     Calc("$$Vantrel_LastErrorMessage"));
    ASSERT_EQ(2u, run.lines.size()) << run.output;
    EXPECT_EQ("?", run.lines[0].value);
    EXPECT_EQ("zeqPluginsAllowedFunctions.txt doesn't exists", run.lines[1].value);
}

TEST_F(FrameEndToEnd, AHugeAllowListLineDeniesWithinBoundedMemory)
{
    // 100 MB without a line end: each call reads at most one line's worth (64 KiB) and denies. The server's peak
    // memory, read by a shell command from fmhost's /proc entry, stays near that of a tiny malformed file.
    const auto peakKiB = [](int megabytes, const std::string &message) {
        {
            std::ofstream out(SANDBOX_ALLOWLIST_PATH, std::ios::binary | std::ios::trunc);
            const std::string chunk(1 << 20, 'x');
            for (int i = 0; i < megabytes; ++i)
                out << chunk;
            if (megabytes == 0)
                out << "x\n";
        }
        const cFmhostRun run = Sandbox(Calc("Vantrel_Version") + " " + Calc("Vantrel_Get ( \"sort\" ; 1 )") + " " +
                                       Calc("$$Vantrel_LastErrorMessage") + " " +
                                       Calc("Vantrel_DoBashCmd ( \"grep VmHWM /proc/$PPID/status\" )"));
        EXPECT_EQ(4u, run.lines.size()) << run.output;
        if (run.lines.size() != 4u)
            return 0L;
        EXPECT_EQ("?", run.lines[0].value);
        EXPECT_EQ("?", run.lines[1].value);
        EXPECT_EQ(message, run.lines[2].value);
        return std::strtol(run.lines[3].value.c_str() + std::strlen("VmHWM:"), nullptr, 10);
    };
    const long tiny = peakKiB(0, "Could not parse file zeqPluginsAllowedFunctions.txt, please check formating and try again");
    const long huge = peakKiB(100, "Could not parse file zeqPluginsAllowedFunctions.txt, a line is longer than 65536 bytes");
    struct stat info;
    ASSERT_EQ(0, ::stat(SANDBOX_ALLOWLIST_PATH, &info));
    EXPECT_EQ(100 << 20, info.st_size);
    ASSERT_GT(tiny, 0);
    EXPECT_LT(huge - tiny, 8 * 1024) << "peak KiB with a tiny file " << tiny << ", with 100 MB " << huge;
}
