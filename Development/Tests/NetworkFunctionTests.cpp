// The network look-up functions as a calculation calls them, in the host emulator.
// Names that would need a DNS server are looked up only inside the test's own network namespace.

#include "support/NetworkTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "network/NetworkFunctions.h"
#include "support/DirectCall.h"
#include "frame/FunctionTable.h"

namespace {

class NetworkFunctions : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(RegisterExternalFunctions()); }
    static void TearDownTestSuite() { UnRegisterExternalFunctions(); }

    void SetUp() override
    {
        allowList("Invoices\tany\n");
        session_.OpenFile("Invoices");
    }
    static void allowList(const std::string& content) { std::ofstream(TEST_ALLOWLIST_PATH) << content; }

    FMHost::Result call(const std::string& name, const std::vector<std::string>& arguments = {}, unsigned failCall = 0)
    {
        return calltest::call(session_, name, arguments, failCall);
    }
    std::string text(const std::string& name, const std::vector<std::string>& arguments)
    {
        const FMHost::Result result = call(name, arguments);
        EXPECT_EQ(result.error, 0) << name;
        EXPECT_TRUE(result.type == FMHost::Type::Text) << name;
        return result.text;
    }
    std::string variable(const std::string& name) { return session_.Variable(name).text; }

    FMHost::Session session_;
};

}  // namespace

TEST_F(NetworkFunctions, GetIPforNameAnswersInTheResultText)
{
    EXPECT_EQ(text("Vantrel_GetIPforName", {"localhost"}), "127.0.0.1");
    EXPECT_EQ(text("Vantrel_GetIPforName", {"10.1.2.3", "ignored"}), "10.1.2.3");
    EXPECT_EQ(text("Vantrel_GetIPforName", {""}), "Cannot retrieve IP for host");
}

TEST_F(NetworkFunctions, GetIPforNameOfAnUnknownNameLeavesTheLastErrorAlone)
{
    REQUIRE_ISOLATED_NETWORK();
    session_.Evaluate("Let ( [ $$Vantrel_LastError = 7 ; $$Vantrel_LastErrorMessage = \"earlier\" ] ; \"\" )");
    EXPECT_EQ(text("Vantrel_GetIPforName", {"no-such-host.invalid"}), "Cannot retrieve IP for host");
    EXPECT_EQ(variable("$$Vantrel_LastError"), "7");
    EXPECT_EQ(variable("$$Vantrel_LastErrorMessage"), "earlier");
}

TEST_F(NetworkFunctions, GetNameForIP)
{
    EXPECT_EQ(text("Vantrel_GetNameForIP", {"127.1"}), "localhost");
    for (const char* address : {"::1", "", "255.255.255.255"})
        EXPECT_EQ(text("Vantrel_GetNameForIP", {address}), "Invalid IP address") << address;
}

TEST_F(NetworkFunctions, LongArgumentsAreCutNotOverrun)
{
    // 1023 bytes reach the resolver; the rest of a longer text is dropped.
    const std::string address = "0x" + std::string(1013, '0') + "7f000001";  // 127.0.0.1 in 1023 bytes
    EXPECT_EQ(text("Vantrel_GetNameForIP", {address}), "localhost");
    EXPECT_EQ(text("Vantrel_GetNameForIP", {address + "5"}), "localhost");  // uncut, 0x7f0000015 would not fit
    EXPECT_EQ(text("Vantrel_GetIPforName", {std::string(5000, 'a')}), "Cannot retrieve IP for host");
}

TEST_F(NetworkFunctions, TheAllowListGovernsTheLookUps)
{
    allowList("Invoices\tVantrel_GetNameForIP\n");
    EXPECT_EQ(text("Vantrel_GetNameForIP", {"127.0.0.1"}), "localhost");
    for (const char* name : {"Vantrel_GetIPforName", "Vantrel_GetClientPublicIPAddress"}) {
        EXPECT_EQ(text(name, {"localhost"}), "?") << name;
        EXPECT_EQ(variable("$$Vantrel_LastError"), "24012") << name;
    }
}

TEST_F(NetworkFunctions, AMissingArgumentIsAUsageError)
{
    EXPECT_NE(call("Vantrel_GetNameForIP").error, 0);  // the host's own check refuses the call
    const struct {
        fmx::ExtPluginType function;
        short id;
        const char* message;
    } functions[] = {{Vantrel_GetNameForIP, 17, "IP address is not specified"},
                     {Vantrel_GetIPforName, 18, "Host name is not specified"}};
    for (const auto& function : functions) {
        const FMHost::Result result = calltest::call(session_, function.function, function.id);
        EXPECT_EQ(result.error, 0);
        EXPECT_EQ(result.type, FMHost::Type::Number);
        EXPECT_EQ(result.text, "-50");
        EXPECT_EQ(variable("$$Vantrel_LastError"), "-50");
        EXPECT_EQ(variable("$$Vantrel_LastErrorMessage"), function.message);
    }
}

TEST_F(NetworkFunctions, PublicAddressWithoutNetworkIsANegativeCodeInBoundedTime)
{
    REQUIRE_ISOLATED_NETWORK();  // no service name can be resolved here, and nothing leaves the machine
    const FMHost::Result result = call("Vantrel_GetClientPublicIPAddress", {"arguments are not read"});
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.type, FMHost::Type::Number);
    EXPECT_EQ(result.text, "-3");
    EXPECT_EQ(variable("$$Vantrel_LastError"), "-3");
    EXPECT_EQ(variable("$$Vantrel_LastErrorMessage"), "Public IP is not available");
}

TEST_F(NetworkFunctions, HostFailuresInsideTheFunctionBecomeErrorResults)
{
    for (unsigned n = 1; n <= 12; ++n) {
        const FMHost::Result result = call("Vantrel_GetNameForIP", {"127.0.0.1"}, n);
        EXPECT_EQ(result.error, 0) << n;
        EXPECT_TRUE(result.text == "2400" || result.text == "localhost") << n << ": " << result.text;
    }
}
