// The network look-ups through fmhost and the sandbox plug-in. The test process (and so fmhost) runs in a
// network namespace of its own: the look-ups cannot leave the machine, and no public-address service is reachable.

#include "support/FmhostRunner.h"
#include "support/NetworkTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using fmhosttest::runFmhost;

TEST(NetworkEndToEnd, NameAndAddressResolution)
{
    REQUIRE_ISOLATED_NETWORK();
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_GetIPforName|Vantrel_GetNameForIP\n");
    const fmhosttest::cRun run = runFmhost({
        "Vantrel_GetIPforName ( \"localhost\" )",
        "Vantrel_GetIPforName ( \"10.1.2.3\" )",
        "Vantrel_GetIPforName ( \"no-such-host.invalid\" )",
        "Vantrel_GetNameForIP ( \"127.1\" )",
        "Vantrel_GetNameForIP ( \"::1\" )",
        "Vantrel_GetNameForIP ( \"\" )",
        "Vantrel_GetNameForIP ( \"255.255.255.255\" )",
        "Vantrel_GetNameForIP",  // the host's own check: at least one argument
    });
    ASSERT_EQ(run.answers.size(), 8u);
    const char* const expected[] = {"127.0.0.1", "10.1.2.3", "Cannot retrieve IP for host", "localhost",
                                    "Invalid IP address", "Invalid IP address", "Invalid IP address"};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(run.answers[i].at("error"), "0") << run.answers[i].at("calc");
        EXPECT_EQ(run.answers[i].at("type"), "Text") << run.answers[i].at("calc");
        EXPECT_EQ(run.answers[i].at("value"), expected[i]) << run.answers[i].at("calc");
    }
    EXPECT_NE(run.answers[7].at("error"), "0");
    EXPECT_EQ(run.status, 1);  // one calculation did not evaluate
}

TEST(NetworkEndToEnd, FirstAddressInTheResolversOrder)
{
    REQUIRE_TEST_RESOLVER();  // the hosts file lists 5.6.7.8 before 127.0.0.7 for order.test
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_GetIPforName\n");
    const fmhosttest::cRun run = runFmhost({"Vantrel_GetIPforName ( \"order.test\" )"});
    ASSERT_EQ(run.answers.size(), 1u);
    EXPECT_EQ(run.answers[0].at("value"), "5.6.7.8");
}

TEST(NetworkEndToEnd, PublicAddressWithoutNetworkEndsSoonWithANegativeCode)
{
    REQUIRE_ISOLATED_NETWORK();
    fmhosttest::cSandboxAllowList allowList("Invoices\tany\n");
    const auto start = std::chrono::steady_clock::now();
    const fmhosttest::cRun run = runFmhost({
        "Vantrel_GetClientPublicIPAddress",
        "$$Vantrel_LastError",
        "$$Vantrel_LastErrorMessage",
        "Vantrel_GetClientPublicIPAddress < 0",
    });
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(run.answers.size(), 4u);
    EXPECT_EQ(run.answers[0].at("type"), "Number");
    EXPECT_EQ(run.answers[0].at("value"), "-3");  // no service name resolves
    EXPECT_EQ(run.answers[1].at("value"), "-3");
    EXPECT_EQ(run.answers[2].at("value"), "Public IP is not available");
    EXPECT_EQ(run.answers[3].at("value"), "1");
    EXPECT_EQ(run.status, 0);
    EXPECT_LT(elapsed, std::chrono::seconds(60));  // a hang guard; the look-up's own bound is 15 s plus resolving
}

TEST(NetworkEndToEnd, TheAllowListDeniesTheLookUps)
{
    fmhosttest::cSandboxAllowList allowList("Invoices\tVantrel_Version\n");
    const fmhosttest::cRun run = runFmhost({
        "Vantrel_GetIPforName ( \"localhost\" )",
        "Vantrel_GetNameForIP ( \"127.0.0.1\" )",
        "Vantrel_GetClientPublicIPAddress",
        "$$Vantrel_LastError",
    });
    ASSERT_EQ(run.answers.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(run.answers[i].at("value"), "?") << run.answers[i].at("calc");
    EXPECT_EQ(run.answers[3].at("value"), "24012");
}
