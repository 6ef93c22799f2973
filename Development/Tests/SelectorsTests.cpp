#include <gtest/gtest.h>

#include <ctime>

#include "frame/InlineDoc.h"
#include "functions/Selectors.h"
#include "globals/Dictionary.h"
#include "support/GlobalsTestSupport.h"

using namespace globalstest;

namespace
{
class Selectors : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AllowEverythingIn({"A"});
        session.OpenFile("A");
    }
    void TearDown() override
    {
        FMHost::Faults::ClearAll();
        vtl::gCleanPeriod = 60;
        turnOnInlineDoc();
    }

    cAnswer get(const std::vector<std::string> &args) { return callWithTexts(Vantrel_Get, args); }
    cAnswer set(const std::string &selector, const fmx::Data &value)
    {
        auto s = TextValue(selector);
        return Call(Vantrel_Set, session, {s.get(), &value});
    }
    cAnswer callWithTexts(fmx::ExtPluginType function, const std::vector<std::string> &args)
    {
        std::vector<fmx::DataUniquePtr> values;
        std::vector<const fmx::Data *> pointers;
        for (const std::string &arg : args)
        {
            values.push_back(TextValue(arg));
            pointers.push_back(values.back().get());
        }
        return Call(function, session, pointers);
    }

    FMHost::Session session;
};
}

TEST_F(Selectors, LastErrorBeforeAndAfterAUsageError)
{
    EXPECT_EQ("No Error Message", get({"lastErrorMessage"}).text());

    const cAnswer unknown = get({"nope"});
    EXPECT_EQ(0, unknown.error);
    EXPECT_EQ(FMHost::Type::Number, unknown.type());
    EXPECT_EQ("-50", unknown.text());

    const cAnswer message = get({"LastErrorMessage"});
    EXPECT_EQ(FMHost::Type::Text, message.type());
    EXPECT_EQ("Unrecognized selector", message.text());
    const cAnswer code = get({"LASTERROR"});
    EXPECT_EQ(FMHost::Type::Number, code.type());
    EXPECT_EQ("-50", code.text());

    get({"timestamp"}); // success leaves the last error as it was
    EXPECT_EQ("Unrecognized selector", get({"lastErrorMessage"}).text());

    EXPECT_EQ("-50", callWithTexts(Vantrel_Get, {}).text());
    EXPECT_EQ("Not enough parameters", get({"lastErrorMessage"}).text());
    EXPECT_EQ("-50", get({"lastError "}).text()); // whole selector only: the trailing blank makes it unknown
}

TEST_F(Selectors, TimestampIsTheCurrentTimeAsATimestamp)
{
    const cAnswer answer = get({"timestamp"});
    ASSERT_EQ(FMHost::Type::Timestamp, answer.type());
    fmx::FixPtUniquePtr seconds;
    answer.result->GetAsTimeStamp().GetSeconds(*seconds);
    const double unixSeconds = seconds->AsFloat() - 62135596800.0;
    EXPECT_NEAR(static_cast<double>(std::time(nullptr)), unixSeconds, 5.0);
}

TEST_F(Selectors, SortGoesThroughTheHostText)
{
    const cAnswer sorted = get({"sort", "10\r9\r100"});
    EXPECT_EQ(FMHost::Type::Text, sorted.type());
    EXPECT_EQ("9\r10\r100\r", sorted.text());
    EXPECT_EQ("1234567\r", get({"SORT", "1234567"}).text());
    EXPECT_EQ("-1\r3\r", get({"sort", "3\r\rcafé\r-1\r"}).text());
    EXPECT_EQ("", get({"sort", ""}).text());

    const cAnswer noList = get({"sort"});
    EXPECT_EQ("-50", noList.text());
    EXPECT_EQ("Not enough parameters", get({"lastErrorMessage"}).text());
}

TEST_F(Selectors, ASortThatWouldExhaustMemoryAnswers2400)
{
    // 3 MB of 1e308 lines: 155 million characters once written out in full.
    std::string list;
    for (int i = 0; i < 500000; ++i)
        list += "1e308\r";
    EXPECT_EQ("2400", get({"sort", list}).text());
    EXPECT_EQ("Sort gave up: the sorted list would be longer than 134217728 characters",
              get({"lastErrorMessage"}).text());
}

TEST_F(Selectors, ScriptErrorOutputReadsTheHostVariable)
{
    EXPECT_EQ("No Error Message", get({"stderr"}).text());
    ASSERT_EQ(0, session.Evaluate("Let ( $$Vantrel_LastScriptStderr = \"boom\" ; 1 )").error);
    EXPECT_EQ("boom", get({"StdErr"}).text());
}

TEST_F(Selectors, InlineDocumentationIsReportedAndSwitched)
{
    EXPECT_EQ("on", get({"inlineDocumentation"}).text());
    auto off = TextValue("OFF");
    EXPECT_EQ("off", set("inlinedocumentation", *off).text());
    EXPECT_FALSE(isInlineDocOn());
    EXPECT_EQ("off", get({"inlineDocumentation"}).text());

    auto unknown = TextValue("maybe");
    EXPECT_EQ("-50", set("inlineDocumentation", *unknown).text());
    EXPECT_EQ("Unknown value of parameter newValue", get({"lastErrorMessage"}).text());
    EXPECT_FALSE(isInlineDocOn());

    auto on = TextValue("on");
    EXPECT_EQ("on", set("inlineDocumentation", *on).text());
    EXPECT_TRUE(isInlineDocOn());

    // What FileMaker developers write for a switch: True/False (any case) and 1/0, as numbers or as text.
    std::vector<std::pair<fmx::DataUniquePtr, const char *>> switches;
    switches.emplace_back(TextValue("False"), "off");
    switches.emplace_back(TextValue("TRUE"), "on");
    switches.emplace_back(NumberValue(0), "off");
    switches.emplace_back(NumberValue(1), "on");
    switches.emplace_back(TextValue("0"), "off");
    switches.emplace_back(TextValue("1"), "on");
    for (const auto &[value, state] : switches)
    {
        EXPECT_EQ(state, set("inlineDocumentation", *value).text());
        EXPECT_EQ(std::string(state) == "on", isInlineDocOn());
    }
    for (const char *refused : {"yes", "2", " on", "0.0"})
    {
        auto value = TextValue(refused);
        EXPECT_EQ("-50", set("inlineDocumentation", *value).text()) << refused;
        EXPECT_TRUE(isInlineDocOn()) << refused;
    }
}

TEST_F(Selectors, GlobalDieIntervalTakesTheNumberAndReturnsTheValue)
{
    auto number = NumberValue(120);
    const cAnswer answer = set("globalDieInterval", *number);
    EXPECT_EQ(0, answer.error);
    EXPECT_EQ(FMHost::Type::Number, answer.type());
    EXPECT_EQ("120", answer.text());
    EXPECT_EQ(120.0, vtl::gCleanPeriod.load());

    auto text = TextValue("2.5");
    const cAnswer asText = set("GLOBALDIEINTERVAL", *text);
    EXPECT_EQ(FMHost::Type::Text, asText.type());
    EXPECT_EQ("2.5", asText.text());
    EXPECT_EQ(2.5, vtl::gCleanPeriod.load());
}

TEST_F(Selectors, GlobalDieIntervalIsAFiniteNumberOfSecondsOfAtLeastOne)
{
    auto start = NumberValue(120);
    set("globalDieInterval", *start);
    auto zero = NumberValue(0), negative = NumberValue(-5), half = NumberValue(0.999), word = TextValue("soon"),
         empty = TextValue("");
    for (const fmx::Data *refused : {zero.get(), negative.get(), half.get(), word.get(), empty.get()})
    {
        SCOPED_TRACE(FMHost::TextOf(*refused));
        session.ClearVariables();
        const cAnswer answer = set("globalDieInterval", *refused);
        EXPECT_EQ(FMHost::Type::Number, answer.type());
        EXPECT_EQ("-50", answer.text());
        EXPECT_EQ("globalDieInterval must be a number of seconds, at least 1", get({"lastErrorMessage"}).text());
        EXPECT_EQ(120.0, vtl::gCleanPeriod.load()); // unchanged
    }
    auto one = NumberValue(1);
    EXPECT_EQ("1", set("globalDieInterval", *one).text());
    EXPECT_EQ(1.0, vtl::gCleanPeriod.load());
}

TEST_F(Selectors, SetUsageErrors)
{
    auto value = NumberValue(1);
    EXPECT_EQ("-50", set("nope", *value).text());
    EXPECT_EQ("Unrecognized selector", get({"lastErrorMessage"}).text());
    EXPECT_EQ("-50", callWithTexts(Vantrel_Set, {"globalDieInterval"}).text());
    EXPECT_EQ("Not enough parameters", get({"lastErrorMessage"}).text());
    EXPECT_EQ(60.0, vtl::gCleanPeriod.load());
}

TEST_F(Selectors, HostFailureDuringASortEndsInError2400)
{
    auto selector = TextValue("sort");
    auto list = TextValue("3\r1\r2");
    bool sawFailure = false;
    for (unsigned n = 1; n < 100; ++n)
    {
        fmx::DataVectUniquePtr args;
        args->PushBack(*selector);
        args->PushBack(*list);
        fmx::DataUniquePtr result;
        FMHost::Faults::FailNthCall(n, fmx::_fmxcpt::kUnknown);
        const fmx::errcode error = Vantrel_Get(2, session.Env(), *args, *result);
        const bool failed = FMHost::Faults::CallsCounted() >= n;
        FMHost::Faults::ClearCallFailure();
        EXPECT_EQ(0, error);
        if (!failed)
        {
            EXPECT_EQ("1\r2\r3\r", FMHost::TextOf(*result));
            break;
        }
        const std::string text = FMHost::TextOf(*result);
        EXPECT_TRUE(text == "2400" || text == "?" || text == "1\r2\r3\r") << n << ": " << text;
        sawFailure = sawFailure || text == "2400";
    }
    EXPECT_TRUE(sawFailure);
}
