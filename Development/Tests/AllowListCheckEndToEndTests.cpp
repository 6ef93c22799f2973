// vantrel-allowlist-check, run as the administrator runs it: what it prints and the exit status it ends with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "errors/AllowList.h"
#include "support/FmhostProcess.h"

namespace
{
struct cOutcome
{
    int status = -1;
    std::string out;
};

const std::string kNobody = "nobody";

class AllowListCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/vantrel-allowlist-check-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(folder));
        root = folder;
        ::chmod(root.c_str(), 0755);
        path = root + "/zeqPluginsAllowedFunctions.txt";
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    // Runs the command with the arguments; as the user runAs when given (only root can).
    static cOutcome Run(const std::vector<std::string> &arguments, const std::string &runAs = "")
    {
        int out[2];
        if (::pipe(out) != 0)
            return {};
        const pid_t pid = ::fork();
        if (pid == 0)
        {
            ::dup2(out[1], 1);
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 2); // the usage text of wrong calls
            ::close(out[0]);
            ::close(out[1]);
            if (!runAs.empty())
            {
                const struct passwd *user = ::getpwnam(runAs.c_str());
                if (user == nullptr || ::setgid(user->pw_gid) != 0 || ::setuid(user->pw_uid) != 0)
                    ::_exit(126);
            }
            std::vector<char *> argv{const_cast<char *>(ALLOWLIST_CHECK_PATH)};
            for (const std::string &argument : arguments)
                argv.push_back(const_cast<char *>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(ALLOWLIST_CHECK_PATH, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        cOutcome outcome;
        char buffer[4096];
        for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
            outcome.out.append(buffer, static_cast<std::size_t>(got));
        ::close(out[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return outcome;
    }
    cOutcome Check(const std::string &content, const std::string &user = kNobody)
    {
        fmhostprocess::writeFile(path, content);
        ::chmod(path.c_str(), 0644);
        return Run({"--user", user, path});
    }
    static bool Root() { return ::geteuid() == 0; }

    std::string root, path;
};

const std::string kParse = vtl::kAllowListParseError;

TEST_F(AllowListCheck, AWellFormedFileIsAcceptedWithWhatEachFileMayCall)
{
    const cOutcome outcome = Check("/options\tshell-command-obeys-allow-list\n"
                                   "Invoices\tVantrel_ExecuteSQL|Vantrel_Get|\n"
                                   "Contacts.fmp12\tany|Vantrel_Get\n"
                                   "Reports\tVantrel_Version|Vantrel_GetAsHTML\r\n"
                                   "Invoices.fmp12\tany\n");
    EXPECT_EQ(0, outcome.status) << outcome.out;
    for (const char *expected :
         {"Access as nobody (uid 65534", "  ok      /  " /* the folders */, "Malformed lines: none\n",
          "Options in force:\n  shell-command-obeys-allow-list: Vantrel_DoBashCmd runs only where a file's line names it\n",
          "  line 2 Invoices: Vantrel_ExecuteSQL, Vantrel_Get\n", "  line 3 Contacts.fmp12: every function\n",
          "  line 4 Reports: Vantrel_Version, Vantrel_GetAsHTML\\r\n    a name with \\r never matches",
          "  line 5 Invoices.fmp12: ignored, line 2 names the same file\n", "Result: the plug-in accepts this file.\n"})
        EXPECT_NE(std::string::npos, outcome.out.find(expected)) << expected << "\n" << outcome.out;
    EXPECT_EQ(std::string::npos, outcome.out.find("DENIED")) << outcome.out;

    const cOutcome plain = Check("Invoices\tVantrel_Get\n");
    EXPECT_EQ(0, plain.status);
    EXPECT_NE(std::string::npos, plain.out.find("  shell-command-obeys-allow-list: off (Vantrel_DoBashCmd runs in every file)\n")) << plain.out;
    const cOutcome empty = Check("");
    EXPECT_EQ(0, empty.status);
    EXPECT_NE(std::string::npos, empty.out.find(std::string("none: every function answers ? in every file (\"") +
                                                 vtl::kAllowListNoLine))
        << empty.out;
}

TEST_F(AllowListCheck, EveryMalformedLineIsReportedWithItsNumberAndTheMessageCallsGet)
{
    const cOutcome outcome = Check("Invoices\tVantrel_Get\n"
                                   "\n"
                                   "Contacts any\n"
                                   "Reports\t\n"
                                   "Archive\tVantrel_Version\tVantrel_Get\n"
                                   "Budget\tany\n");
    EXPECT_EQ(1, outcome.status) << outcome.out;
    for (const std::string &expected :
         {"  line 2: the line is empty\n    calls get: " + kParse + "\n",
          "  line 3: no TAB between the file name and its functions\n    calls get: " + kParse + "\n",
          "  line 4: the list of functions is empty\n    calls get: " + kParse + "\n",
          "  line 5: more than one TAB\n    calls get: " + kParse + "\n",
          // the plug-in reads no further than the first malformed line for the files below it
          std::string("  line 1 Invoices: Vantrel_Get\n"), std::string("  line 4 Reports: nothing, line 2 above it"),
          std::string("  line 6 Budget: nothing, line 2 above it is malformed\n"),
          std::string("Result: the plug-in refuses calls because of the malformed lines (exit status 1).")})
        EXPECT_NE(std::string::npos, outcome.out.find(expected)) << expected << "\n" << outcome.out;

    // An empty list spoils only its own file's line.
    const cOutcome emptyList = Check("Reports\t\nBudget\tany\n");
    EXPECT_EQ(1, emptyList.status);
    EXPECT_NE(std::string::npos, emptyList.out.find("  line 1 Reports: nothing, its list is empty\n")) << emptyList.out;
    EXPECT_NE(std::string::npos, emptyList.out.find("  line 2 Budget: every function\n")) << emptyList.out;

    // A line too long ends the reading: nothing after it is read.
    const cOutcome tooLong = Check("Invoices\tany\n" + std::string(70000, 'x') + "\nBudget\tany\n");
    EXPECT_EQ(1, tooLong.status);
    EXPECT_NE(std::string::npos, tooLong.out.find(std::string("  line 2: the line is longer than 65536 bytes") +
                                                  "; the lines after it are not read\n    calls get: " +
                                                  vtl::kAllowListLineTooLong))
        << tooLong.out;
    EXPECT_EQ(std::string::npos, tooLong.out.find("Budget")) << tooLong.out;
}

TEST_F(AllowListCheck, AnUnknownOptionIsNamedAndRefusesEveryFile)
{
    const cOutcome outcome = Check("/options\tshell-command-obeys-allow-list|shell-comand-timeout=30\n"
                                   "Invoices\tany\n");
    EXPECT_EQ(1, outcome.status) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find(std::string("  line 1: unknown option \"shell-comand-timeout=30\"\n"
                                                              "    calls get: ") +
                                                  vtl::kAllowListUnknownOption))
        << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("  line 2 Invoices: nothing, line 1 above it is malformed\n"))
        << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("Options in force:\n  none: with an unknown option the plug-in "
                                                  "refuses every call\nFiles"))
        << outcome.out;
    // Control bytes in the file are shown as they would be typed.
    const cOutcome invisible = Check("/options\tshell-command-obeys-allow-list\r\nInvoices\tany\n");
    EXPECT_NE(std::string::npos, invisible.out.find("unknown option \"shell-command-obeys-allow-list\\r\""))
        << invisible.out;
}

TEST_F(AllowListCheck, AFileTheUserMayNotReadIsUnreadableForThePlugIn)
{
    fmhostprocess::writeFile(path, "Invoices\tany\n");
    ::chmod(path.c_str(), 0600);
    const cOutcome outcome = Run({"--user", kNobody, path});
    EXPECT_EQ(3, outcome.status) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("DENIED  " + path)) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("nobody may not read it")) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find(std::string("The plug-in would refuse every call with \"") +
                                                  vtl::kAllowListUnreadable))
        << outcome.out;
    // The content is still checked, for when the permissions are fixed.
    EXPECT_NE(std::string::npos, outcome.out.find("  line 1 Invoices: every function\n")) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("Result: the plug-in cannot read this file (exit status 3)."));

    if (!Root())
        GTEST_SKIP() << "changing owners needs root";
    // The first class the user belongs to decides: the owner's bits, then the group's, then the others'.
    ASSERT_EQ(0, ::chown(path.c_str(), 65534, 0));
    ::chmod(path.c_str(), 0044);
    EXPECT_EQ(3, Run({"--user", kNobody, path}).status) << "the owner may not read, whatever others may";
    ASSERT_EQ(0, ::chown(path.c_str(), 0, 65534));
    ::chmod(path.c_str(), 0640);
    EXPECT_EQ(0, Run({"--user", kNobody, path}).status) << "the group may read";
    ::chmod(path.c_str(), 0604);
    EXPECT_EQ(3, Run({"--user", kNobody, path}).status) << "the group may not read, whatever others may";
}

TEST_F(AllowListCheck, AFolderWithoutSearchPermissionHidesTheFileFromThePlugIn)
{
    const std::string folder = root + "/Zeq";
    ASSERT_EQ(0, ::mkdir(folder.c_str(), 0700));
    path = folder + "/zeqPluginsAllowedFunctions.txt";
    fmhostprocess::writeFile(path, "Invoices\tany\n");
    ::chmod(path.c_str(), 0644);

    const cOutcome outcome = Run({"--user", kNobody, path});
    EXPECT_EQ(3, outcome.status) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("DENIED  " + folder + "  ")) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("nobody may not search it")) << outcome.out;
    // Without search permission on the way the plug-in cannot tell the file is there.
    EXPECT_NE(std::string::npos, outcome.out.find(std::string("The plug-in would refuse every call with \"") +
                                                  vtl::kAllowListMissing))
        << outcome.out;

    ::chmod(folder.c_str(), 0701); // search, but not list
    EXPECT_EQ(0, Run({"--user", kNobody, path}).status);
}

TEST_F(AllowListCheck, MissingFilesUnknownUsersAndWrongArguments)
{
    const cOutcome missing = Run({"--user", kNobody, path});
    EXPECT_EQ(3, missing.status) << missing.out;
    EXPECT_NE(std::string::npos, missing.out.find(std::string("refuses every call with \"") + vtl::kAllowListMissing))
        << missing.out;
    ASSERT_EQ(0, ::mkdir(path.c_str(), 0755));
    EXPECT_EQ(3, Run({"--user", kNobody, path}).status) << "a folder at the path counts as missing";
    ::rmdir(path.c_str());

    const cOutcome noUser = Check("Invoices\tany\n", "no-such-user-of-vantrel");
    EXPECT_EQ(0, noUser.status) << noUser.out;
    EXPECT_NE(std::string::npos, noUser.out.find("there is no user no-such-user-of-vantrel on this machine, so its "
                                                 "permissions are not checked"))
        << noUser.out;

    EXPECT_EQ(2, Run({"--bogus"}).status);
    EXPECT_EQ(2, Run({path, path}).status);
    EXPECT_EQ(2, Run({"--user"}).status);
    const cOutcome help = Run({"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.out.find("usage: vantrel-allowlist-check [--user NAME] [FILE]")) << help.out;
    // Without FILE, the production allow-list.
    EXPECT_EQ(0u, Run({"--user", kNobody}).out.find(
                      "Allow-list: /opt/FileMaker/FileMaker Server/Data/Zeq/zeqPluginsAllowedFunctions.txt\n"));
}

TEST_F(AllowListCheck, SaysSoWhenItCannotReadTheFileItself)
{
    if (!Root())
        GTEST_SKIP() << "running the command as another user needs root";
    fmhostprocess::writeFile(path, "Invoices\tany\n");
    ::chmod(path.c_str(), 0600);
    const cOutcome outcome = Run({"--user", "root", path}, kNobody);
    EXPECT_EQ(4, outcome.status) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("This command may not read the file itself: run it as root"))
        << outcome.out;

    // Nor can it tell anything about a file in a folder it may not enter: that is not the plug-in's verdict.
    const std::string folder = root + "/Zeq";
    ASSERT_EQ(0, ::mkdir(folder.c_str(), 0700));
    const cOutcome hidden = Run({"--user", "root", folder + "/zeqPluginsAllowedFunctions.txt"}, kNobody);
    EXPECT_EQ(4, hidden.status) << hidden.out;
    EXPECT_NE(std::string::npos, hidden.out.find("This command may not look further: run it as root")) << hidden.out;
    EXPECT_EQ(std::string::npos, hidden.out.find("The plug-in would refuse")) << hidden.out;
}
}
