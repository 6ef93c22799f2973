// Vantrel_DoBashCmd through fmhost and the sandbox plug-in.

#include "support/FmhostRunner.h"
#include "support/PluginTestSupport.h"
#include "support/PrivateMounts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>

using fmhosttest::runFmhost;

TEST(ShellCommandEndToEnd, RunsCommandsWhateverTheAllowListSays)
{
    // The calling file's line names another function only: the shell command is not governed by it.
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_Version\n");
    const fmhosttest::cRun run = runFmhost({
        "Vantrel_DoBashCmd ( \"printf 'a\\nb'\" )",
        "Vantrel_DoBashCmd ( \"head -c 10000 /dev/zero | tr '\\\\0' 'q'\" )",
        "Vantrel_DoBashCmd ( \"echo only-to-stderr 1>&2\" )",
        "Vantrel_DoBashCmd ( \"echo partial; exit 4\" )",
        "Vantrel_DoBashCmd ( \"echo a\" ; \"echo b\" )",  // exactly one argument
    });
    ASSERT_EQ(run.answers.size(), 5u);
    EXPECT_EQ(run.answers[0].at("type"), "Text");
    EXPECT_EQ(run.answers[0].at("value"), "a\nb");
    EXPECT_EQ(run.answers[1].at("value"), std::string(8190, 'q'));
    EXPECT_EQ(run.answers[2].at("value"), "");
    EXPECT_EQ(run.answers[3].at("value"), "partial\n");
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(run.answers[i].at("error"), "0") << run.answers[i].at("calc");
    EXPECT_NE(run.answers[4].at("error"), "0");
}

TEST(ShellCommandEndToEnd, CommandsSeeTheEnvironmentFmhostWasGiven)
{
    // fmhost may restart itself with a setting of the C library; what it starts must not see that.
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_Version\n");
    const std::string calculation = "Vantrel_DoBashCmd ( \"env | grep -E '^(GLIBC_TUNABLES|FMHOST_)' | sort\" )";
    const fmhosttest::cRun unset = runFmhost({calculation}, {"Invoices"}, "env -u GLIBC_TUNABLES");
    const fmhosttest::cRun set = runFmhost({calculation}, {"Invoices"}, "env GLIBC_TUNABLES=glibc.malloc.check=0");
    ASSERT_EQ(unset.answers.size(), 1u);
    ASSERT_EQ(set.answers.size(), 1u);
    EXPECT_EQ(unset.answers[0].at("value"), "");
    EXPECT_EQ(set.answers[0].at("value"), "GLIBC_TUNABLES=glibc.malloc.check=0\n");
}

TEST(ShellCommandEndToEnd, StartsAsAFreshProcessWhateverTheServerInherited)
{
    // Network servers ignore SIGPIPE, and fmhost inherits that from here. The command must still stop when the
    // plug-in closes the pipe after 8190 bytes, instead of writing into it forever; the launcher's 30 s limit
    // only ends the test if it does not.
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_Version\n");
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    // A descriptor of the server that is not close-on-exec: fmhost and the plug-in hold it, the command must not.
    const int leaked = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 3);
    const auto start = std::chrono::steady_clock::now();
    const fmhosttest::cRun run = runFmhost({
        "Vantrel_DoBashCmd ( \"while :; do echo y; done\" )",
        "Vantrel_DoBashCmd ( \"ls /proc/$$/fd\" )",
        // The command's own signals: the shell's own may be read while it blocks every signal to start a child.
        "Vantrel_DoBashCmd ( \"grep -E '^Sig(Blk|Ign):' /proc/self/status\" )",
    }, std::vector<std::string>{"Invoices"}, "timeout -s KILL 30");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    close(leaked);
    std::signal(SIGPIPE, previous);

    ASSERT_EQ(run.answers.size(), 3u);
    std::string expected;
    for (int i = 0; i < 8190 / 2; ++i)
        expected += "y\n";
    EXPECT_EQ(run.answers[0].at("value"), expected);
    EXPECT_LT(elapsed, std::chrono::seconds(10)); // seconds, not the 30 s of a command that never stops
    EXPECT_EQ(run.answers[1].at("value"), "0\n1\n2\n");
    // Nothing blocked, no standard signal ignored. The C library's two internal signals may be: 32 and 33, or 34
    // and 35 under qemu-user, which keeps the lowest real-time signals for itself.
    EXPECT_THAT(run.answers[2].at("value"), testing::MatchesRegex("SigBlk:\t0+\nSigIgn:\t0*[0-7]?[08]0000000\n"));
}

TEST(ShellCommandEndToEnd, TheAllowListGovernsItWhenTheAdministratorOptsIn)
{
    fmhosttest::cSandboxAllowList allowList("/options\tshell-command-obeys-allow-list\n"
                                            "Contacts\tVantrel_DoBashCmd\n"
                                            "Invoices\tVantrel_Version\n");
    const fmhosttest::cRun run = runFmhost({
        "Vantrel_DoBashCmd ( \"echo ran\" )",
        "$$Vantrel_LastError & \" \" & $$Vantrel_LastErrorMessage",
        "Vantrel_Version",
        "EmulatorSetCallingFile ( \"Contacts\" )",
        "Vantrel_DoBashCmd ( \"echo ran\" )",
    }, std::vector<std::string>{"Invoices", "Contacts"});
    ASSERT_EQ(run.answers.size(), 5u);
    EXPECT_EQ(run.answers[0].at("value"), "?");
    EXPECT_EQ(run.answers[0].at("error"), "0");
    EXPECT_EQ(run.answers[1].at("value"), "24012 Function Vantrel_DoBashCmd is not allowed on this server");
    EXPECT_EQ(run.answers[2].at("value"), "3.2");  // the options line is a file's line to the other functions
    EXPECT_EQ(run.answers[4].at("value"), "ran\n");
}

TEST(ShellCommandEndToEnd, TheTimeLimitEndsACommandAndTellsTheCallerAndTheJournal)
{
    // The production plug-in with its own allow-list path, on a private tmpfs.
    REQUIRE_PRIVATE_PRODUCTION_FOLDER();
    plugintest::WriteFile(mounttest::kProductionAllowList, "/options\tshell-command-timeout=1\nInvoices\tVantrel_Version\n");
    mounttest::forgetJournalLines();
    const auto start = std::chrono::steady_clock::now();
    const fmhosttest::cRun run = fmhosttest::runFmhostWith(PRODUCTION_PLUGIN_PATH, {
        "Vantrel_DoBashCmd ( \"echo early; sleep 30; echo late\" )",
        "$$Vantrel_LastError & \" \" & $$Vantrel_LastErrorMessage",
        "Vantrel_DoBashCmd ( \"sleep 30 & echo left\" )",  // a background job holding the output open
        "Vantrel_DoBashCmd ( \"cat; echo read-nothing\" )", // standard input is empty: cat ends at once
    }, {"Invoices"}, "timeout -s KILL 60");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(run.answers.size(), 4u);
    EXPECT_EQ(run.answers[0].at("value"), "early\n");
    EXPECT_EQ(run.answers[0].at("error"), "0");
    EXPECT_EQ(run.answers[1].at("value"), "24013 Vantrel_DoBashCmd: the time limit of 1 second (shell-command-timeout) "
                                          "ended the command; its output until then is returned");
    EXPECT_EQ(run.answers[2].at("value"), "left\n");
    EXPECT_EQ(run.answers[3].at("value"), "read-nothing\n");
    EXPECT_LT(elapsed, std::chrono::seconds(20)); // not the 30 s of the commands
    // Two commands ended by the limit in one minute: one line.
    EXPECT_THAT(mounttest::journalTexts(),
                testing::ElementsAre("Vantrel_DoBashCmd in file Invoices was ended by the time limit of 1 second"));
}
