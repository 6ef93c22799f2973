// The last-error state in the host's $$ variables, and the function guard that turns failures into error results.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "errors/ErrorCodes.h"
#include "errors/FunctionGuard.h"
#include "errors/LastError.h"
#include "support/PluginTestSupport.h"

namespace
{
class LastError : public ::testing::Test
{
protected:
    void TearDown() override { FMHost::Faults::ClearAll(); }

    std::string Variable(const char *name) { return session.Variable(name).text; }
    fmx::errcode Guard(const std::function<void()> &work)
    {
        return vtl::GuardedCall(nullptr, session.Env(), *result, work);
    }

    FMHost::Session session;
    fmx::DataUniquePtr result;
};
}

TEST_F(LastError, ReadOutsBeforeAnyErrorSayNoErrorMessage)
{
    EXPECT_EQ(0, vtl::GetLastErrorMessage(*result, session.Env()));
    EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*result));
    EXPECT_EQ("No Error Message", FMHost::TextOf(*result));
    EXPECT_EQ(0, vtl::GetLastScriptStderr(*result, session.Env()));
    EXPECT_EQ("No Error Message", FMHost::TextOf(*result));
    EXPECT_EQ(0, vtl::GetLastErrorCode(*result, session.Env()));
    EXPECT_EQ(FMHost::Type::Number, FMHost::TypeOf(*result));
}

TEST_F(LastError, SetThenReadBack)
{
    EXPECT_EQ("Let ( [ $$Vantrel_LastError = -50 ; $$Vantrel_LastErrorMessage = \"Unrecognized selector\" ] ; \"\" )",
              vtl::LastErrorCalculation(-50, "Unrecognized selector"));
    ASSERT_EQ(0, vtl::SetLastError(-50, "Unrecognized selector", session.Env()));
    EXPECT_EQ("-50", Variable("$$Vantrel_LastError"));
    EXPECT_EQ("Unrecognized selector", Variable("$$Vantrel_LastErrorMessage"));

    EXPECT_EQ(0, vtl::GetLastErrorCode(*result, session.Env()));
    EXPECT_EQ(FMHost::Type::Number, FMHost::TypeOf(*result));
    EXPECT_EQ("-50", FMHost::TextOf(*result));
    EXPECT_EQ(0, vtl::GetLastErrorMessage(*result, session.Env()));
    EXPECT_EQ("Unrecognized selector", FMHost::TextOf(*result));

    ASSERT_EQ(0, vtl::SetLastError(-1, "minus one", session.Env()));
    EXPECT_EQ("-1", Variable("$$Vantrel_LastError")) << "signed, not 65535";
}

TEST_F(LastError, AnyMessageIsRecordedExactly)
{
    for (const std::string &message : {std::string("He said \"no\" \\ twice \\\""), std::string("a\\"),
                                      std::string("\"\"\""), std::string("Zeile 1\rZeile 2 ü ∑"), std::string("¶ and \\¶"),
                                      std::string()})
    {
        ASSERT_EQ(0, vtl::SetLastError(2400, message, session.Env())) << message;
        EXPECT_EQ(message, Variable("$$Vantrel_LastErrorMessage"));
    }
}

TEST_F(LastError, ScriptStderrIsReadFromItsVariable)
{
    ASSERT_EQ(0, session.Evaluate("Let ( $$Vantrel_LastScriptStderr = \"disk full\" ; 1 )").error);
    EXPECT_EQ(0, vtl::GetLastScriptStderr(*result, session.Env()));
    EXPECT_EQ("disk full", FMHost::TextOf(*result));
}

TEST_F(LastError, FailedEvaluationKeepsTheVariablesAndReturnsTheHostCode)
{
    ASSERT_EQ(0, vtl::SetLastError(7, "first", session.Env()));
    FMHost::Faults::FailEvaluation(vtl::LastErrorCalculation(8, "second"), 1204);
    EXPECT_EQ(1204, vtl::SetLastError(8, "second", session.Env()));
    EXPECT_EQ("7", Variable("$$Vantrel_LastError"));
    EXPECT_EQ("first", Variable("$$Vantrel_LastErrorMessage"));
}

TEST_F(LastError, HostFailuresInsideTheOperationsAreThrown)
{
    FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kBadAlloc);
    EXPECT_THROW(vtl::SetLastError(1, "x", session.Env()), std::bad_alloc);
    FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kUnknown);
    EXPECT_THROW(vtl::GetLastErrorMessage(*result, session.Env()), std::exception);
}

TEST_F(LastError, GuardTurnsExceptionsIntoErrorResults)
{
    EXPECT_EQ(0, Guard([] { throw std::runtime_error("disk on fire"); }));
    EXPECT_EQ("2400", FMHost::TextOf(*result));
    EXPECT_EQ(FMHost::Type::Number, FMHost::TypeOf(*result));
    EXPECT_EQ("2400", Variable("$$Vantrel_LastError"));
    EXPECT_EQ("disk on fire", Variable("$$Vantrel_LastErrorMessage"));

    EXPECT_EQ(0, Guard([] { throw 42; }));
    EXPECT_EQ("2400", FMHost::TextOf(*result));
    EXPECT_EQ("Unknown fatal error occured", Variable("$$Vantrel_LastErrorMessage"));

    EXPECT_EQ(0, Guard([] { throw vtl::cUsageError("Not enough parameters"); }));
    EXPECT_EQ("-50", FMHost::TextOf(*result));
    EXPECT_EQ("-50", Variable("$$Vantrel_LastError"));
    EXPECT_EQ("Not enough parameters", Variable("$$Vantrel_LastErrorMessage"));
}

TEST_F(LastError, GuardTurnsInjectedHostFailuresInto2400)
{
    for (int code : {fmx::_fmxcpt::kBadAlloc, fmx::_fmxcpt::kUnknown})
    {
        EXPECT_EQ(0, Guard([&] {
            FMHost::Faults::FailNthCall(1, code);
            fmx::TextUniquePtr text; // the host fails to make it
            text->Assign("never");
        }));
        EXPECT_EQ("2400", FMHost::TextOf(*result));
        EXPECT_EQ(code == fmx::_fmxcpt::kBadAlloc ? "std::bad_alloc" : "std::exception",
                  Variable("$$Vantrel_LastErrorMessage"));
    }
}

TEST_F(LastError, GuardPassesTheWorksAnswerAndTheRecordingFailure)
{
    EXPECT_EQ(0, Guard([] {}));
    EXPECT_EQ(7, vtl::GuardedCall(nullptr, session.Env(), *result, [] { return fmx::errcode(7); }));

    // The last error cannot be recorded: the host learns it from the answer.
    FMHost::Faults::FailEvaluation(vtl::LastErrorCalculation(2400, "lost"), 1204);
    EXPECT_EQ(1204, Guard([] { throw std::runtime_error("lost"); }));

    // The host fails even while the error is being recorded: nothing is thrown.
    EXPECT_EQ(vtl::kHostMemoryError, Guard([] {
                  FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kBadAlloc);
                  throw std::runtime_error("first");
              }));
    EXPECT_EQ(vtl::kExceptionError, Guard([] {
                  FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kUnknown);
                  throw 1;
              }));
}
