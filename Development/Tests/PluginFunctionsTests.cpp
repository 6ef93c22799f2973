// Vantrel_Version, Vantrel_ValueType, Vantrel_GetTimestamp and the functions without a Linux implementation, called
// by the emulator's calculation engine as FileMaker calls them.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "FMWrapper/FMXBinaryData.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXFixPt.h"
#include "functions/InfoFunctions.h"
#include "support/PluginTestSupport.h"

using namespace plugintest;

namespace
{
class PluginFunctions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteFile(TEST_ALLOWLIST_PATH, "Invoices\tany\n");
        session.OpenFile("Invoices");
        session.OpenFile("Contacts");
    }
    void TearDown() override { FMHost::Faults::ClearAll(); }

    // The text form of a calculation that must evaluate without error.
    std::string Text(const std::string &calculation)
    {
        const FMHost::Result result = session.Evaluate(calculation);
        EXPECT_EQ(0, result.error) << calculation;
        return result.text;
    }
    std::string LastMessage() { return session.Variable("$$Vantrel_LastErrorMessage").text; }

    static void SetUpTestSuite() { plugin = new cLoadedPlugIn; }
    static void TearDownTestSuite() { delete plugin; }

    static cLoadedPlugIn *plugin;
    FMHost::Session session;
};
cLoadedPlugIn *PluginFunctions::plugin = nullptr;

double HostSeconds(const fmx::Data &timestamp)
{
    fmx::FixPtUniquePtr seconds;
    timestamp.GetAsTimeStamp().GetSecondsSinceEpoch(*seconds);
    return seconds->AsFloat();
}
}

TEST_F(PluginFunctions, VersionSelectors)
{
    ASSERT_EQ(62, plugin->initialised);
    EXPECT_EQ("3.2", Text("Vantrel_Version"));
    for (const char *selector : {"LONG", "Long", "long"})
        EXPECT_EQ("Zeq Vantrel Plug-In 3.2", Text(std::string("Vantrel_Version ( \"") + selector + "\" )"));
    EXPECT_EQ("Linux", Text("Vantrel_Version ( \"platform\" )"));
    const FMHost::Result autoupdate = session.Evaluate("Vantrel_Version ( \"autoupdate\" )");
    EXPECT_EQ(FMHost::Type::Text, autoupdate.type);
    EXPECT_EQ("03020008", autoupdate.text);
    for (const char *other : {"\" long\"", "\"\"", "2", "\"short\"", "\"version\""})
        EXPECT_EQ("3.2", Text(std::string("Vantrel_Version ( ") + other + " )")) << other;
    EXPECT_EQ("Linux", Text("Vantrel_Version ( \"platform\" ; \"long\" ; 3 )")) << "more arguments are ignored";
}

TEST_F(PluginFunctions, VersionLeavesTheLastErrorAlone)
{
    Text("Let ( $$Vantrel_LastErrorMessage = \"earlier\" ; 1 )");
    Text("Vantrel_Version ( \"long\" )");
    EXPECT_EQ("earlier", LastMessage());
}

TEST_F(PluginFunctions, FunctionsAskTheAllowList)
{
    ASSERT_TRUE(session.SetCallingFile("Contacts"));
    for (const char *call : {"Vantrel_Version", "Vantrel_ValueType ( 1 )", "Vantrel_GetTimestamp"})
    {
        const FMHost::Result result = session.Evaluate(call);
        EXPECT_EQ(0, result.error) << call;
        EXPECT_EQ("?", result.text) << call;
        EXPECT_EQ("File zeqPluginsAllowedFunctions.txt is empty", LastMessage()) << call;
    }
}

TEST_F(PluginFunctions, ValueTypeNamesEveryHostType)
{
    EXPECT_EQ("Text", Text("Vantrel_ValueType ( \"12\" )"));
    EXPECT_EQ("Number", Text("Vantrel_ValueType ( 12 )"));
    EXPECT_EQ("Date", Text("Vantrel_ValueType ( Date ( 1 ; 2 ; 2026 ) )"));
    EXPECT_EQ("Time", Text("Vantrel_ValueType ( Time ( 1 ; 2 ; 3 ) )"));
    EXPECT_EQ("Timestamp", Text("Vantrel_ValueType ( Timestamp ( Date ( 1 ; 2 ; 2026 ) ; Time ( 1 ; 2 ; 3 ) ) )"));
    EXPECT_EQ("Timestamp", Text("Vantrel_ValueType ( Vantrel_GetTimestamp )"));

    // Values a calculation cannot easily make: handed over directly, as the host would.
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr boolean, container, invalid;
    fmx::FixPtUniquePtr one(1);
    boolean->SetAsNumber(*one, fmx::Data::kDTBoolean);
    char bytes[] = {1, 2, 3};
    fmx::TextUniquePtr name;
    name->Assign("FILE");
    fmx::BinaryDataUniquePtr binary(*name, sizeof bytes, bytes);
    container->SetBinaryData(*binary, true);
    for (auto [value, expected] : {std::pair<fmx::Data *, const char *>{boolean.get(), "Boolean"},
                                   {container.get(), "Container"}, {invalid.get(), ""}})
    {
        args->Clear();
        args->PushBack(*value);
        fmx::DataUniquePtr result;
        EXPECT_EQ(0, Vantrel_ValueType(21, session.Env(), *args, *result));
        EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*result)) << expected;
        EXPECT_EQ(expected, FMHost::TextOf(*result));
    }
    args->Clear();
    fmx::DataUniquePtr result;
    EXPECT_EQ(0, Vantrel_ValueType(21, session.Env(), *args, *result));
    EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*result));
    EXPECT_EQ("", FMHost::TextOf(*result));

    EXPECT_NE(0, session.Evaluate("Vantrel_ValueType").error) << "the host checks the argument count";
    EXPECT_NE(0, session.Evaluate("Vantrel_ValueType ( 1 ; 2 )").error);
}

TEST_F(PluginFunctions, TimestampIsNowInUtcWithMicroseconds)
{
    fmx::DataVectUniquePtr none;
    fmx::DataVectUniquePtr one;
    fmx::DataUniquePtr argument;
    one->PushBack(*argument);
    fmx::DataUniquePtr first, second;
    const double before = static_cast<double>(std::time(nullptr)) + 62135596800.0;
    ASSERT_EQ(0, Vantrel_GetTimestamp(22, session.Env(), *none, *first));
    ::usleep(2000);
    ASSERT_EQ(0, Vantrel_GetTimestamp(22, session.Env(), *one, *second));
    EXPECT_EQ(FMHost::Type::Timestamp, FMHost::TypeOf(*first));
    EXPECT_EQ(FMHost::Type::Timestamp, FMHost::TypeOf(*second));
    EXPECT_NEAR(before, HostSeconds(*first), 1.5);
    EXPECT_GT(HostSeconds(*second), HostSeconds(*first));
    EXPECT_LT(HostSeconds(*second) - HostSeconds(*first), 1.0);

    EXPECT_EQ(FMHost::Type::Timestamp, session.Evaluate("Vantrel_GetTimestamp ( \"ignored\" )").type);
    EXPECT_NE(0, session.Evaluate("Vantrel_GetTimestamp ( 1 ; 2 )").error);
}

TEST_F(PluginFunctions, HostFailureAnywhereBecomes2400)
{
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr value;
    args->PushBack(*value);
    for (auto function : {Vantrel_GetTimestamp, Vantrel_ValueType})
    {
        fmx::DataUniquePtr probe;
        FMHost::Faults::FailNthCall(1000000);
        function(0, session.Env(), *args, *probe);
        const unsigned long calls = FMHost::Faults::CallsCounted();
        ASSERT_GT(calls, 2u);
        for (unsigned n = 1; n <= calls; ++n)
        {
            fmx::DataUniquePtr result;
            FMHost::Faults::FailNthCall(n, fmx::_fmxcpt::kUnknown);
            EXPECT_EQ(0, function(0, session.Env(), *args, *result)) << n;
            FMHost::Faults::ClearCallFailure();
            EXPECT_EQ("2400", FMHost::TextOf(*result)) << n;
            EXPECT_EQ("std::exception", LastMessage()) << n;
        }
    }
}

TEST_F(PluginFunctions, FunctionsWithoutLinuxImplementationAnswerMinusFour)
{
    const char *const calls[] = {"Vantrel_Encode ( 1 ; \"x\" )",
                                 "Vantrel_Decode ( 1 ; \"x\" )",
                                 "Vantrel_MergeText ( \"x\" )",
                                 "Vantrel_DoFileMakerScript ( \"s\" ; 1 ; 2 )",
                                 "Vantrel_GetDefaultPrinter",
                                 "Vantrel_SetDefaultPrinter ( \"p\" )",
                                 "Vantrel_GetPrinterNames",
                                 "Vantrel_GetSpecialWindows ( 1 )",
                                 "Vantrel_SetScriptShortcut ( \"k\" ; \"s\" )"};
    ::unlink(TEST_ALLOWLIST_PATH); // they do not ask the allow-list
    for (const char *call : calls)
    {
        Text("Let ( $$Vantrel_LastError = 0 ; 1 )");
        const FMHost::Result result = session.Evaluate(call);
        EXPECT_EQ(0, result.error) << call;
        EXPECT_EQ(FMHost::Type::Number, result.type) << call;
        EXPECT_EQ("-4", result.text) << call;
        EXPECT_EQ("-4", session.Variable("$$Vantrel_LastError").text) << call;
        EXPECT_EQ("Linux doesn't support this function.", LastMessage()) << call;
    }
    EXPECT_EQ("-4", Text("Vantrel_DoSystemScript ( \"a\" ; \"b\" )"));
    EXPECT_EQ("Not implemented in Linux.", LastMessage());

    Text("Let ( $$Vantrel_LastErrorMessage = \"untouched\" ; 1 )");
    EXPECT_NE(0, session.Evaluate("Vantrel_Encode ( \"x\" )").error);
    EXPECT_NE(0, session.Evaluate("Vantrel_DoSystemScript ( \"a\" )").error);
    EXPECT_EQ("untouched", LastMessage()) << "the host refuses the call before the plug-in runs";
}

TEST_F(PluginFunctions, SessionsOnSeveralThreadsDoNotDisturbEachOther)
{
    // Each thread is a client of its own; half of them call from a file the allow-list does not name.
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &wrong] {
            FMHost::Session own;
            own.OpenFile(t % 2 ? "Invoices" : "Contacts");
            for (int i = 0; i < 200; ++i)
            {
                const FMHost::Result result = own.Evaluate("Vantrel_Version ( \"long\" )");
                const std::string expected = t % 2 ? "Zeq Vantrel Plug-In 3.2" : "?";
                if (result.error != 0 || result.text != expected ||
                    own.Evaluate("Vantrel_GetPrinterNames").text != "-4")
                    ++wrong[t];
            }
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(std::vector<int>(4, 0), wrong);
}
