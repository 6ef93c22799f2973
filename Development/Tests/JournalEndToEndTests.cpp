// The journal of the production plug-in, loaded by fmhost, with its fixed allow-list path on a private tmpfs and a
// socket of the test's own at /dev/log (a private mount namespace: see support/PrivateMounts.h).
#include "support/FmhostRunner.h"
#include "support/PluginTestSupport.h"
#include "support/PrivateMounts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing::ElementsAre;
using testing::MatchesRegex;

namespace
{
fmhosttest::cRun RunProduction(const std::string &allowList, const std::vector<std::string> &calculations)
{
    plugintest::WriteFile(mounttest::kProductionAllowList, allowList);
    mounttest::forgetJournalLines();
    return fmhosttest::runFmhostWith(PRODUCTION_PLUGIN_PATH, calculations, {"Invoices"}, "timeout -s KILL 60");
}
}

TEST(JournalEndToEnd, RefusalsAndFaultsReachTheJournalOnceEach)
{
    REQUIRE_PRIVATE_PRODUCTION_FOLDER();
    std::vector<std::string> loop(100, "Vantrel_GetTimestamp");
    loop.push_back("Vantrel_Version");
    loop.push_back("Vantrel_ValueType ( 1 )");
    const fmhosttest::cRun refused = RunProduction("Invoices\tVantrel_Version\n", loop);
    ASSERT_EQ(102u, refused.answers.size());
    EXPECT_EQ("?", refused.answers[0].at("value"));
    EXPECT_EQ("3.2", refused.answers[100].at("value"));
    const std::vector<std::string> lines = mounttest::journalLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_THAT(lines[0], MatchesRegex("<12>[A-Z][a-z][a-z] [ 0-9][0-9] [0-9:]{8} Vantrel\\[[0-9]+\\]: refused "
                                       "Vantrel_GetTimestamp in file Invoices: line 1 of the allow-list does not "
                                       "name it"));
    EXPECT_EQ("refused Vantrel_ValueType in file Invoices: line 1 of the allow-list does not name it",
              mounttest::journalText(lines[1]));

    RunProduction("Contacts\tany\nInvoices Vantrel_Version\n", {"Vantrel_Version", "Vantrel_Version"});
    EXPECT_THAT(mounttest::journalTexts(),
                ElementsAre("allow-list " + mounttest::kProductionAllowList +
                            ", line 2: no TAB between the file name and its functions; calls are refused"));
}

TEST(JournalEndToEnd, LogOffSendsNothing)
{
    REQUIRE_PRIVATE_PRODUCTION_FOLDER();
    const fmhosttest::cRun run =
        RunProduction("/options\tlog=off\nInvoices\tVantrel_Version\n", {"Vantrel_GetTimestamp", "Vantrel_Version"});
    ASSERT_EQ(2u, run.answers.size());
    EXPECT_EQ("?", run.answers[0].at("value"));
    EXPECT_EQ("3.2", run.answers[1].at("value"));
    EXPECT_TRUE(mounttest::journalLines(500).empty());
}
