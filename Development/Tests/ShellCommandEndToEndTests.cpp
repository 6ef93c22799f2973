// Vantrel_DoBashCmd through fmhost and the sandbox plug-in.

#include "support/FmhostRunner.h"

#include <gtest/gtest.h>

#include <string>

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
