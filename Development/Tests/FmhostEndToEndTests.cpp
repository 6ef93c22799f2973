// fmhost as a command: output formats, exit codes, scripts, and plug-ins that cannot be used.
#include <gtest/gtest.h>

#include "frame/VersionNumbers.h"
#include "support/FmhostProcess.h"
#include "support/FmhostRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <thread>
#include <sstream>
#include <string>
#include <utility>
#include <vector>


namespace
{
using namespace fmhostprocess;

std::string testPlugin(const std::string &name) { return std::string(TEST_PLUGIN_DIR) + "/" + name + ".fmx"; }

TEST(FmhostOutput, JsonLinesAreExact)
{
    Outcome outcome = runFmhost({"--no-plugin", "--json", "-e", "1 + 1", "-e", "\"a\xC2\xB6\\\"b\\\"\"", "-e",
                                 "Date ( 12 ; 31 ; 2026 )", "-e", "List ( \"\" )"});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("{\"calc\":\"1 + 1\",\"error\":0,\"type\":\"Number\",\"value\":\"2\"}\n"
              "{\"calc\":\"\\\"a\xC2\xB6\\\\\\\"b\\\\\\\"\\\"\",\"error\":0,\"type\":\"Text\",\"value\":\"a\\r\\\"b\\\"\"}\n"
              "{\"calc\":\"Date ( 12 ; 31 ; 2026 )\",\"error\":0,\"type\":\"Date\",\"value\":\"12/31/2026\"}\n"
              "{\"calc\":\"List ( \\\"\\\" )\",\"error\":0,\"type\":\"Text\",\"value\":\"\"}\n",
              outcome.out);
    EXPECT_EQ("", outcome.err);
}

TEST(FmhostOutput, PlainOutputShowsOneResultPerCalculation)
{
    Outcome outcome = runFmhost({"--no-plugin", "-e", "2 * 21", "-e", "List ( \"a\" ; \"b\" )"});
    EXPECT_EQ(0, outcome.status);
    EXPECT_EQ("42\na\nb\n", outcome.out);
}

TEST(FmhostOutput, AFailedCalculationGivesItsErrorAndExitStatusOne)
{
    Outcome outcome = runFmhost({"--no-plugin", "--json", "-e", "(1", "-e", "3"});
    EXPECT_EQ(1, outcome.status);
    EXPECT_EQ("{\"calc\":\"(1\",\"error\":1207,\"type\":\"\",\"value\":\"\"}\n"
              "{\"calc\":\"3\",\"error\":0,\"type\":\"Number\",\"value\":\"3\"}\n",
              outcome.out);
    EXPECT_NE(std::string::npos, outcome.err.find("1207"));

    Outcome plain = runFmhost({"--no-plugin", "-e", "1/0"});
    EXPECT_EQ(1, plain.status);
    EXPECT_EQ("?\n", plain.out);
    EXPECT_NE(std::string::npos, plain.err.find("division by zero"));
}

TEST(FmhostOutput, RunningOutOfMemoryFailsThatCalculationWithErrorTwoAndTheRestRuns)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's shadow memory does not fit in the address space this test allows";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    GTEST_SKIP() << "a sanitizer's shadow memory does not fit in the address space this test allows";
#endif
#endif
    // A text doubled 28 times would be 4 G characters; fmhost gets 1.5 GB of address space.
    std::string doubling = "Let ( [ a = \"xxxxxxxxxxxxxxxx\"";
    for (int i = 0; i < 28; ++i)
        doubling += " ; a = a & a";
    doubling += " ] ; Length ( a ) )";
    Outcome outcome = runFmhost({"--no-plugin", "--json", "-e", doubling, "-e", "1 + 1"}, "", {}, rlim_t(1536) << 20);
    EXPECT_EQ(1, outcome.status) << outcome.err;
    const std::size_t firstEnd = outcome.out.find('\n');
    ASSERT_NE(std::string::npos, firstEnd) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.substr(0, firstEnd).find("\"error\":2,\"type\":\"\",\"value\":\"\"}"))
        << outcome.out.substr(0, firstEnd);
    EXPECT_EQ("{\"calc\":\"1 + 1\",\"error\":0,\"type\":\"Number\",\"value\":\"2\"}\n", outcome.out.substr(firstEnd + 1));
    EXPECT_NE(std::string::npos, outcome.err.find("error 2: Memory error")) << outcome.err;
}

TEST(FmhostUsage, MistakesOnTheCommandLineExitWithTwo)
{
    const std::vector<std::vector<std::string>> mistakes = {
        {"--no-plugin", "--bogus"},
        {"--no-plugin", "-e"},
        {"--no-plugin", "--file"},
        {"--no-plugin", "--file", "=x.sqlite"},
        {"--no-plugin", "a.fmcalc", "b.fmcalc"},
        {"--no-plugin", "/nonexistent/script.fmcalc"},
        {"--no-plugin", "--file", "Invoices=/nonexistent/db.sqlite", "-e", "1"},
        {"--no-plugin", "--plugin", "x.fmx"},
        {"--no-plugin", "--echo", "--json", "-e", "1"},
        {"--no-plugin", "--echo=yes", "-e", "1"},
    };
    for (const auto &arguments : mistakes)
    {
        Outcome outcome = runFmhost(arguments);
        EXPECT_EQ(2, outcome.status) << arguments.back();
        EXPECT_NE("", outcome.err) << arguments.back();
        EXPECT_EQ("", outcome.out) << arguments.back();
    }
    Outcome help = runFmhost({"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("usage: fmhost"));
}

TEST(FmhostScripts, LinesContinueCommentsAreSkippedAndVariablesPersist)
{
    std::string script = scratchPath("script.fmcalc");
    writeFile(script, "\xEF\xBB\xBF# set a variable\r\n"
                      "Let ( [ $$a = 20 ; \\\r\n"
                      "        $$b = 1 ] ; \\\n"
                      "  $$a + $$b )\n"
                      "\n"
                      "   \n"
                      "$$a * 2\n"
                      "Get ( FileName ) & \"/\" & ValueCount ( DatabaseNames )\n");
    Outcome outcome = runFmhost({"--no-plugin", "--file", "Invoices.fmp12", "--file", "Contacts", "--json", script});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("{\"calc\":\"Let ( [ $$a = 20 ; \\n        $$b = 1 ] ; \\n  $$a + $$b )\",\"error\":0,"
              "\"type\":\"Number\",\"value\":\"21\"}\n"
              "{\"calc\":\"$$a * 2\",\"error\":0,\"type\":\"Number\",\"value\":\"40\"}\n"
              "{\"calc\":\"Get ( FileName ) & \\\"/\\\" & ValueCount ( DatabaseNames )\",\"error\":0,"
              "\"type\":\"Text\",\"value\":\"Invoices/2\"}\n",
              outcome.out);
    std::remove(script.c_str());
}

TEST(FmhostScripts, CalculationsAndScriptRunInCommandLineOrderInOneSession)
{
    std::string script = scratchPath("order.fmcalc");
    writeFile(script, "$$x & \"-script\"\nLet ( $$x = \"s\" ; 0 )\n");
    Outcome outcome = runFmhost({"--no-plugin", "-e", "Let ( $$x = \"e\" ; 0 )", script, "-e", "$$x"});
    EXPECT_EQ(0, outcome.status);
    EXPECT_EQ("0\ne-script\n0\ns\n", outcome.out);
    std::remove(script.c_str());
}

TEST(FmhostScripts, WithoutCalculationsItReadsStandardInput)
{
    Outcome outcome = runFmhost({"--no-plugin"}, "Let ( $$n = 2 ; $$n )\n$$n + \\\n1\n");
    EXPECT_EQ(0, outcome.status);
    EXPECT_EQ("2\n3\n", outcome.out);   // no prompt when the input is no terminal
}

TEST(FmhostPlugins, APluginIsInitialisedDrivenAndShutDown)
{
    std::string log = scratchPath("plugin.log");
    std::remove(log.c_str());
    Outcome outcome = runFmhost({"--plugin", testPlugin("LoggingPlugin"), "--json", "-e", "Log_Count ( 1 ; 2 )",
                                 "-e", "Log_Count ( 1 ; 2 ; 3 )", "-e", "Log_Fail", "-e",
                                 "Log_SetAndGet ( \"v\" ) & $$logged"},
                                "", {{"FMHOST_TEST_LOG", log}});
    EXPECT_EQ(1, outcome.status);
    EXPECT_EQ("{\"calc\":\"Log_Count ( 1 ; 2 )\",\"error\":0,\"type\":\"Number\",\"value\":\"2\"}\n"
              "{\"calc\":\"Log_Count ( 1 ; 2 ; 3 )\",\"error\":1202,\"type\":\"\",\"value\":\"\"}\n"
              "{\"calc\":\"Log_Fail\",\"error\":1552,\"type\":\"\",\"value\":\"\"}\n"
              "{\"calc\":\"Log_SetAndGet ( \\\"v\\\" ) & $$logged\",\"error\":0,\"type\":\"Text\",\"value\":\"v!v\"}\n",
              outcome.out);
    EXPECT_EQ("init version=71 app=7 appVersion=Server 21.0.1\nshutdown\n", readFile(log));
    std::remove(log.c_str());
}

TEST(FmhostPlugins, APluginThatCannotBeUsedIsReportedWithExitStatusTwo)
{
    std::string notALibrary = scratchPath("garbage.fmx");
    writeFile(notALibrary, "this is no shared library");
    struct Case
    {
        std::string plugin, message;
        std::vector<std::pair<std::string, std::string>> environment;
    };
    const std::vector<Case> cases = {
        {"/nonexistent/Plugin.fmx", "cannot load plug-in", {}},
        {notALibrary, "cannot load plug-in", {}},
        {testPlugin("NoEntryPlugin"), "has no entry point FMExternCallProc", {}},
        {testPlugin("RefusingPlugin"), "does not support the host's interface version 71", {}},
        {testPlugin("RefusingPlugin"), "asked not to be enabled", {{"FMHOST_TEST_INIT_ANSWER", "-2"}}},
        {testPlugin("RefusingPlugin"), "is no interface version", {{"FMHOST_TEST_INIT_ANSWER", "0"}}},
    };
    for (const Case &c : cases)
    {
        Outcome outcome = runFmhost({"--plugin", c.plugin, "-e", "1"}, "", c.environment);
        EXPECT_EQ(2, outcome.status) << c.plugin;
        EXPECT_NE(std::string::npos, outcome.err.find(c.message)) << outcome.err;
        EXPECT_NE(std::string::npos, outcome.err.find(c.plugin)) << outcome.err;
        EXPECT_EQ("", outcome.out);
    }
    std::remove(notALibrary.c_str());
}

TEST(FmhostPlugins, ARefusingPluginGetsNoShutdownMessage)
{
    std::string log = scratchPath("refused.log");
    std::remove(log.c_str());
    runFmhost({"--plugin", testPlugin("RefusingPlugin"), "-e", "1"}, "", {{"FMHOST_TEST_LOG", log}});
    EXPECT_EQ("message 0\n", readFile(log));
    std::remove(log.c_str());
}
TEST(FmhostPlugins, ATerminationRequestStillShutsThePluginDown)
{
    std::string log = scratchPath("terminated.log");
    std::remove(log.c_str());
    int input[2];
    ASSERT_EQ(0, pipe(input));
    pid_t pid = fork();
    if (pid == 0)
    {
        dup2(input[0], 0);
        close(input[1]);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setenv("FMHOST_TEST_LOG", log.c_str(), 1);
        std::string plugin = testPlugin("LoggingPlugin");
        execl(FMHOST_PATH, FMHOST_PATH, "--plugin", plugin.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(input[0]);
    // fmhost now waits at its prompt for input that never comes.
    for (int i = 0; i < 500 && readFile(log).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    close(input[1]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(1, WEXITSTATUS(status));
    EXPECT_EQ("init version=71 app=7 appVersion=Server 21.0.1\nshutdown\n", readFile(log));
    std::remove(log.c_str());
}

TEST(FmhostPlugins, WhyAPluginFunctionAnsweredAQuestionMarkIsSaidOncePerCalculation)
{
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_Version\n");
    Outcome outcome = runFmhost({"--plugin", SANDBOX_PLUGIN_PATH, "--file", "Invoices", "-e",
                                 "Vantrel_GetGlobal ( \"a\" ) & Vantrel_GetGlobal ( \"b\" )", "-e",
                                 "Vantrel_Version ( \"short\" ) = \"?\"", "-e", "\"?\""});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("??\n0\n?\n", outcome.out);
    // The first function that answered "?" is named with the plug-in's last error message; the others are not.
    EXPECT_EQ(0u, outcome.err.find("fmhost: Vantrel_GetGlobal answered ?: ")) << outcome.err;
    EXPECT_EQ(1, std::count(outcome.err.begin(), outcome.err.end(), '\n')) << outcome.err;
}

TEST(FmhostOutput, EchoShowsEachCalculationWithItsResultUnderSectionTitles)
{
    std::string script = scratchPath("echo.fmcalc");
    writeFile(script, "# Numbers\n"
                      "1 + 1\n"
                      "#\n"
                      "# Lists\n"
                      "List ( \"a\" ;\n"
                      "       \"b\" )\n"
                      "1 / 0\n");
    Outcome outcome = runFmhost({"--no-plugin", "--echo", script});
    EXPECT_EQ(1, outcome.status);
    EXPECT_EQ("== Numbers ==\n"
              "1 + 1  \xE2\x86\x92  2\n"
              "\n"
              "== Lists ==\n"
              "List ( \"a\" ;\n"
              "       \"b\" )  \xE2\x86\x92\n"
              "    a\n"
              "    b\n"
              "1 / 0  \xE2\x86\x92  ?  (error 1218: division by zero (at character 3))\n",
              outcome.out);
    EXPECT_EQ("", outcome.err);
    std::remove(script.c_str());
}

TEST(FmhostScripts, TheDemoRunsWithoutAFailure)
{
    fmhosttest::cSandboxAllowList allowList("Invoices\tany\nContacts\tany\n");
    Outcome outcome = runFmhost({"--plugin", SANDBOX_PLUGIN_PATH, "--file",
                                 std::string("Invoices=") + VANTREL_BINARY_DIR + "/examples/invoices.sqlite", "--file",
                                 "Contacts", "--echo", std::string(VANTREL_SOURCE_DIR) + "/examples/demo.fmcalc"});
    EXPECT_EQ(0, outcome.status) << outcome.out << outcome.err;
    EXPECT_EQ(0u, outcome.out.find("== Version and value types ==\nVantrel_Version  \xE2\x86\x92  ")) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("\n    1\tAcme Tools\tBerlin\n")) << outcome.out;
}

TEST(FmhostPlugins, InstalledPluginsGivesNameSonameAndStateAsTheServerDoes)
{
    Outcome vantrel = runFmhost({"--plugin", SANDBOX_PLUGIN_PATH, "-e", "Get ( InstalledFMPlugins )"});
    EXPECT_EQ(0, vantrel.status) << vantrel.err;
    EXPECT_EQ("Zeq Vantrel Plug-In;3.2.0.8;Enabled\n", vantrel.out);

    // Built without a soname, and giving no name: its file name stands in, the version stays empty.
    Outcome logging = runFmhost({"--plugin", testPlugin("LoggingPlugin"), "-e", "Get ( InstalledFMPlugins )"});
    EXPECT_EQ(0, logging.status) << logging.err;
    EXPECT_EQ("LoggingPlugin.fmx;;Enabled\n", logging.out);
}

std::string realPath(const std::string &path)
{
    char *resolved = realpath(path.c_str(), nullptr);
    std::string result = resolved ? resolved : "";
    std::free(resolved);
    return result;
}

// The whole answer, exactly: FileMaker's keys in its order, compact, the description as the host shows it (the
// plug-in's backslash-n pairs as line breaks), the file as an absolute path after filelinux:.
TEST(FmhostPlugins, InstalledPluginsAsJsonHasFileMakersStructure)
{
    auto answer = [](const std::string &plugin) {
        Outcome outcome = runFmhost({"--plugin", plugin, "-e", "Get ( ApplicationArchitecture )", "-e",
                                     "Get ( SystemVersion )", "-e", "Get ( InstalledFMPluginsAsJSON )"});
        EXPECT_EQ(0, outcome.status) << outcome.err;
        std::istringstream lines(outcome.out);
        std::string architecture, version, json;
        std::getline(lines, architecture);
        std::getline(lines, version);
        std::getline(lines, json);
        return std::make_pair("{\"APIVers\":2,\"environment\":{\"architecture\":\"" + architecture +
                                  "\",\"platform\":5,\"version\":\"" + version + "\"},\"plugins\":[{",
                              json);
    };
    auto [environment, vantrel] = answer(SANDBOX_PLUGIN_PATH);
    EXPECT_EQ(environment + "\"name\":\"Zeq Vantrel Plug-In\",\"id\":\"ZQVL\",\"version\":\"3.2.0.8\",\"state\":\"Enabled\","
                            "\"filepath\":\"filelinux:" + realPath(SANDBOX_PLUGIN_PATH) + "\",\"description\":\""
                            "Collection of useful and sometimes indispensable functions.\\n\\nMade by Zeq, 2009-2026"
                            "\\n\\nVersion 3.2\"}]}",
              vantrel);

    // No soname, no name, no description, and a roundabout path to it.
    const std::string roundabout = std::string(TEST_PLUGIN_DIR) + "/../test-plugins/./LoggingPlugin.fmx";
    const std::string logging = answer(roundabout).second;
    EXPECT_EQ(environment + "\"name\":\"LoggingPlugin.fmx\",\"id\":\"TLOG\",\"version\":\"\",\"state\":\"Enabled\","
                            "\"filepath\":\"filelinux:" + realPath(testPlugin("LoggingPlugin")) + "\",\"description\":\"\"}]}",
              logging);
}

// ":" lines play several clients of the server; each session has its own files, calling file and variables.
TEST(FmhostSessions, SessionLinesSwitchOpenCloseAndEnd)
{
    std::string script = scratchPath("sessions.fmcalc");
    writeFile(script, "Let ( $$who = \"first\" ; Get ( FileName ) & \"|\" & DatabaseNames )\n"
                      ":session B Contacts \"Other Things.fmp12\"\n"
                      "Get ( FileName ) & \"|\" & DatabaseNames & \"|\" & $$who\n"
                      "Let ( $$who = \"B\" ; $$who )\n"
                      "  :close contacts\n"
                      "Get ( FileName ) & \"|\" & DatabaseNames\n"
                      ":session main\n"
                      "$$who\n"
                      ":session B\n"
                      "$$who\n"
                      ":sleep 0.05\n"
                      ":end\n"
                      "$$who & \"|\" & DatabaseNames\n"
                      ":session B\n"
                      "$$who & \"|\" & DatabaseNames & \"|\"\n");
    Outcome outcome = runFmhost({"--no-plugin", "--file", "Invoices", "--file", "Contacts", script});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("Invoices|Invoices\nContacts\n"
              "Contacts|Contacts\nOther Things|\n"
              "B\n"
              "Other Things|Other Things\n"
              "first\n"
              "B\n"
              "first|Invoices\nContacts\n"
              "||\n",
              outcome.out);
    std::remove(script.c_str());
}

TEST(FmhostSessions, FilesNamedOnTheCommandLineKeepTheirDatabaseInEverySession)
{
    const std::string database = std::string(VANTREL_BINARY_DIR) + "/examples/invoices.sqlite";
    fmhosttest::cSandboxAllowList allowList("Invoices\tany\n");
    Outcome outcome = runFmhost({"--file", "Invoices=" + database, "--json"},
                                ":session Other Invoices\n"
                                "Vantrel_ExecuteSQL ( \"SELECT 1\" ) & \"|\" & Get ( FileName )\n");
    EXPECT_NE(std::string::npos, outcome.out.find("\"value\":\"1|Invoices\"")) << outcome.out << outcome.err;
}

TEST(FmhostSessions, WrongSessionLinesAreReportedAndTheRestRuns)
{
    const std::pair<const char *, const char *> mistakes[] = {
        {":close Nowhere", "no file Nowhere is open in session main"},
        {":end now", ":end takes no arguments"},
        {":sleep", ":sleep needs a number of seconds"},
        {":sleep -1", ":sleep needs a number of seconds"},
        {":sleep soon", ":sleep needs a number of seconds"},
        {":session", ":session needs a session name"},
        {":session A \"unclosed", "a quotation mark is not closed"},
        {":close", ":close needs one file name"},
    };
    for (const auto &[line, message] : mistakes)
    {
        Outcome outcome = runFmhost({"--no-plugin"}, std::string(line) + "\n1 + 1\n");
        EXPECT_EQ(1, outcome.status) << line;
        EXPECT_EQ("2\n", outcome.out) << line;
        EXPECT_NE(std::string::npos, outcome.err.find(message)) << outcome.err;
    }
    Outcome prompt = runFmhost({"--no-plugin"}, ":session X Sales\nGet ( FileName )\n:end\nGet ( FileName )\n");
    EXPECT_EQ(0, prompt.status) << prompt.err;
    EXPECT_EQ("Sales\n\n", prompt.out);
}

TEST(FmhostSessions, APluginThatAsksHearsOfClosingFilesAndEndingSessions)
{
    std::string log = scratchPath("sessions.log");
    std::remove(log.c_str());
    Outcome outcome = runFmhost({"--plugin", testPlugin("LoggingPlugin"), "--file", "Invoices"},
                                ":session B Contacts Invoices\n:close Invoices\n:end\n:session C Contacts\n",
                                {{"FMHOST_TEST_LOG", log}, {"FMHOST_TEST_SESSION_MESSAGES", "1"}});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    // Sessions 1 (main), 2 (B) and 3 (C); files 1 (Invoices) and 2 (Contacts), the same id in every session. At
    // the end the other sessions end before the first, and then the plug-in is shut down.
    EXPECT_EQ("init version=71 app=7 appVersion=Server 21.0.1\n"
              "file shutdown session=2 file=1\n"
              "file shutdown session=2 file=2\n"
              "session shutdown session=2\n"
              "file shutdown session=3 file=2\n"
              "session shutdown session=3\n"
              "file shutdown session=1 file=1\n"
              "session shutdown session=1\n"
              "shutdown\n",
              readFile(log));

    std::remove(log.c_str());
    runFmhost({"--plugin", testPlugin("LoggingPlugin"), "--file", "Invoices"}, ":close Invoices\n",
              {{"FMHOST_TEST_LOG", log}});
    EXPECT_EQ("init version=71 app=7 appVersion=Server 21.0.1\nshutdown\n", readFile(log)); // it did not ask
    std::remove(log.c_str());
}

TEST(FmhostUsage, VersionIsOneLineWithTheProjectsVersion)
{
    Outcome outcome = runFmhost({"--version"});
    EXPECT_EQ(0, outcome.status);
    EXPECT_EQ(std::string("fmhost ") + vtl::kFullVersion + "\n", outcome.out);
    EXPECT_EQ("", outcome.err);
    // It needs nothing else to fit, and runs nothing.
    Outcome withOthers = runFmhost({"--test", "--version", "--plugin", "/nonexistent.fmx"});
    EXPECT_EQ(0, withOthers.status) << withOthers.err;
    EXPECT_EQ(outcome.out, withOthers.out);
    EXPECT_EQ(2, runFmhost({"--version=2"}).status);
}

// A mistake on the command line is one line that names it and says where the options are, not the whole usage.
TEST(FmhostUsage, AMistakeIsOneLineNamingItAndPointingToHelp)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
        {{"--foo"}, "unknown option --foo"},
        {{"-x", "-e", "1"}, "unknown option -x"},
        {{"--no-plugin", "-e"}, "-e needs a value"},
        {{"--echo=yes", "-e", "1"}, "--echo takes no value"},
        {{"--tap", "-e", "1"}, "--tap goes with --test"},
        {{"--test"}, "--test needs at least one test file"},
        {{"a.fmcalc", "b.fmcalc"}, "only one SCRIPT may be given"},
    };
    for (const auto &[arguments, message] : mistakes)
    {
        Outcome outcome = runFmhost(arguments);
        EXPECT_EQ(2, outcome.status) << message;
        EXPECT_EQ("fmhost: " + message + " (fmhost --help lists the options)\n", outcome.err);
        EXPECT_EQ("", outcome.out) << message;
    }
}

TEST(FmhostCommands, QuitLeavesAndNothingAfterItRuns)
{
    std::string log = scratchPath("quit.log");
    std::remove(log.c_str());
    Outcome outcome = runFmhost({"--plugin", testPlugin("LoggingPlugin"), "-e", "1", "-e", ":quit", "-e", "2"}, "",
                                {{"FMHOST_TEST_LOG", log}});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("1\n", outcome.out);
    // The plug-in is still shut down.
    EXPECT_EQ("init version=71 app=7 appVersion=Server 21.0.1\nshutdown\n", readFile(log));
    std::remove(log.c_str());

    // In a script the exit status keeps its rules: a failure before :exit still counts.
    std::string script = scratchPath("quit.fmcalc");
    writeFile(script, "1 / 0\n  :EXIT\n3\n");
    Outcome failed = runFmhost({"--no-plugin", script, "-e", "4"});
    EXPECT_EQ(1, failed.status);
    EXPECT_EQ("?\n", failed.out);
    std::remove(script.c_str());

    // Read from a pipe, the rest of the input is left unread.
    Outcome piped = runFmhost({"--no-plugin"}, "5\n:quit\n6\n");
    EXPECT_EQ(0, piped.status);
    EXPECT_EQ("5\n", piped.out);

    Outcome wrong = runFmhost({"--no-plugin", "-e", ":quit now", "-e", "7"});
    EXPECT_EQ(1, wrong.status);
    EXPECT_EQ("7\n", wrong.out);
    EXPECT_NE(std::string::npos, wrong.err.find(":quit takes no arguments")) << wrong.err;
}

// As FileMaker's Data Viewer lists them: the name (a repetition with its [n]) and the value; global variables
// first, each kind by name; a variable set to empty is cleared and not shown. Each session has its own.
TEST(FmhostCommands, VarsListsTheSessionsVariablesAsTheDataViewerDoes)
{
    Outcome outcome = runFmhost(
        {"--no-plugin", "-e",
         "Let ( [ $x[10] = \"ten\" ; $$Total = 12.5 ; $x = 1 ; $X[2] = Date ( 1 ; 2 ; 2026 ) ; "
         "$$note = \"two¶lines\" ; $gone = 1 ; $gone = \"\" ; $$a[0] = \"zero\" ] ; 0 )",
         "-e", ":vars", "-e", ":session B", "-e", ":vars", "-e", "Let ( $$b = 1 ; 0 )", "-e", ":vars"});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("0\n"
              "$$a[0]   zero\n"
              "$$note   two\n"
              "         lines\n"
              "$$Total  12.5\n"
              "$x       1\n"
              "$X[2]    1/2/2026\n"
              "$x[10]   ten\n"
              "(no variables are set in session B)\n"
              "0\n"
              "$$b  1\n",
              outcome.out);

    Outcome wrong = runFmhost({"--no-plugin", "-e", ":vars $x"});
    EXPECT_EQ(1, wrong.status);
    EXPECT_NE(std::string::npos, wrong.err.find(":vars takes no arguments")) << wrong.err;
}

// Every description starts in the same column, at least two spaces after the longest usage.
TEST(FmhostCommands, HelpLinesUpTheDescriptions)
{
    Outcome outcome = runFmhost({"--no-plugin", "-e", ":help"});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    std::istringstream lines(outcome.out);
    std::set<std::size_t> columns;
    int commands = 0;
    for (std::string line; std::getline(lines, line);)
    {
        if (line.compare(0, 3, "  :") != 0)
            continue;
        ++commands;
        const std::size_t gap = line.find("  ", 2);
        ASSERT_NE(std::string::npos, gap) << line;
        columns.insert(line.find_first_not_of(' ', gap));
    }
    EXPECT_GE(commands, 8);
    EXPECT_EQ(1u, columns.size()) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("  :session NAME [FILE ...]  switch")) << outcome.out;
}

// The query's own reason goes to standard error beside the host's code; the result is what the plug-in made of it.
TEST(FmhostSql, AFailedQueryShowsTheDatabasesMessageBesideTheHostsCode)
{
    fmhosttest::cSandboxAllowList allowList("Invoices\tany\nContacts\tany\n");
    const std::string database = std::string(VANTREL_BINARY_DIR) + "/examples/invoices.sqlite";
    Outcome outcome = runFmhost({"--file", "Invoices=" + database, "-e", "Vantrel_ExecuteSQL ( \"SELEC 1\" )", "-e",
                                 "Vantrel_ExecuteSQL ( \"SELECT 1\" )", "-e",
                                 "Vantrel_ExecuteSQL ( \"SELECT * FROM nowhere\" ) & Vantrel_ExecuteSQL ( \"SELEC\" )"});
    EXPECT_EQ(0, outcome.status) << outcome.err;
    EXPECT_EQ("8310\n1\n83098310\n", outcome.out);
    // One line per calculation, for its first failed query.
    EXPECT_EQ("fmhost: SQL error 8310 (near \"SELEC\": syntax error)\n"
              "fmhost: SQL error 8309 (no such table: nowhere)\n",
              outcome.err);

    Outcome noDatabase = runFmhost({"--file", "Contacts", "--json", "-e", "Vantrel_ExecuteSQL ( \"SELECT 1\" )"});
    EXPECT_EQ("fmhost: SQL error 8303 (the hosted file Contacts has no SQL database)\n", noDatabase.err);
    EXPECT_NE(std::string::npos, noDatabase.out.find("\"value\":\"8303\"")) << noDatabase.out;
}

// What a shell command writes to standard output.
std::string commandOutput(const std::string &command)
{
    std::string output;
    if (FILE *pipe = popen(command.c_str(), "r"))
    {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

const std::string kManualPage = std::string(VANTREL_SOURCE_DIR) + "/Development/HostEmulator/fmhost/fmhost.1";

std::string manualPage() { return readFile(kManualPage); }

// The page covers what --help and :help list: each option and each command, written as roff writes a hyphen.
TEST(FmhostManual, ThePageCoversEveryOptionAndCommand)
{
    std::string page = manualPage();
    ASSERT_FALSE(page.empty());
    Outcome help = runFmhost({"--help"});
    Outcome commands = runFmhost({"--no-plugin", "-e", ":help"});
    const std::regex option("(^|[ ,\\[|])(--?[a-z][a-z-]*)");
    const std::regex command("^  (:[a-z]+)");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), option); it != std::sregex_iterator(); ++it)
        names.insert((*it)[2]);
    std::istringstream lines(commands.out);
    for (std::string line; std::getline(lines, line);)
    {
        std::smatch match;
        if (std::regex_search(line, match, command))
            names.insert(match[1]);
    }
    EXPECT_GE(names.size(), 20u);
    for (const std::string &name : names)
    {
        std::string roff;
        for (char c : name)
            roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(std::string::npos, page.find("\\fB" + roff + "\\fR")) << name << " is not in the manual page";
    }
    for (const char *section : {".SH OPTIONS", ".SH COMMANDS", ".SH TEST FILES", ".SH EXIT STATUS", ".SH FILES"})
        EXPECT_NE(std::string::npos, page.find(section)) << section;
}

TEST(FmhostManual, CmakeInstallPutsThePageWhereManFindsIt)
{
    const std::string prefix = scratchPath("install");
    std::filesystem::remove_all(prefix);
    const std::string install = std::string("'") + CMAKE_COMMAND_PATH + "' --install '" + VANTREL_BINARY_DIR +
                                "' --prefix '" + prefix + "' --component fmhost >/dev/null";
    ASSERT_EQ(0, std::system(install.c_str()));
    const std::string installed = prefix + "/share/man/man1/fmhost.1.gz";
    ASSERT_TRUE(std::filesystem::exists(installed));
    EXPECT_EQ(manualPage(), commandOutput("gzip -dc '" + installed + "'"));
    std::filesystem::remove_all(prefix);
}

// groff reads the page without a warning, where groff is installed.
TEST(FmhostManual, ThePageFormatsWithoutWarnings)
{
    if (std::system("command -v groff >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "groff is not installed";
    EXPECT_EQ("", commandOutput("groff -man -Tutf8 -ww -z '" + kManualPage + "' 2>&1"));
}
} // namespace
