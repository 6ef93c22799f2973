// The host emulator's calculation language: literals, operators, variables, the built-in functions, plug-in
// function calls with the host's argument-count check, and FileMaker's error codes.
#include "FMHost/Host.h"
#include "FMWrapper/FMXBinaryData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "FMWrapper/FMXTypes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace
{
class CalcTest : public ::testing::Test
{
protected:
    FMHost::Session session;

    FMHost::Result eval(const std::string &calculation) { return session.Evaluate(calculation); }

    std::string value(const std::string &calculation)
    {
        FMHost::Result result = eval(calculation);
        EXPECT_EQ(0, result.error) << calculation;
        return result.text;
    }

    FMHost::Type type(const std::string &calculation) { return eval(calculation).type; }

    int error(const std::string &calculation) { return eval(calculation).error; }
};

TEST_F(CalcTest, NumberLiteralsPrintInFileMakersForm)
{
    EXPECT_EQ("12.5", value("12.50"));
    EXPECT_EQ("0.5", value(".5"));
    EXPECT_EQ("7", value("007"));
    EXPECT_EQ(FMHost::Type::Number, type("3"));
}

TEST_F(CalcTest, TextLiteralsResolveEscapesAndPilcrows)
{
    EXPECT_EQ("a\"b", value(R"("a\"b")"));
    EXPECT_EQ("a\\b", value(R"("a\\b")"));
    EXPECT_EQ("a\rb", value("\"a\xC2\xB6" "b\""));          // ¶ inside quotes is a carriage return
    EXPECT_EQ("\xC2\xB6", value("\"\\\xC2\xB6\""));          // \¶ is the pilcrow itself
    EXPECT_EQ("\r", value("\xC2\xB6"));                      // ¶ outside quotes
    EXPECT_EQ("a\\nb", value(R"("a\nb")"));                  // other backslashes stay
    EXPECT_EQ("", value(R"("")"));
    EXPECT_EQ(FMHost::Type::Text, type(R"("x")"));
    EXPECT_EQ("x", value("/* note */ \"x\" // trailing comment"));
}

TEST_F(CalcTest, ArithmeticAndPrecedence)
{
    EXPECT_EQ("7", value("1 + 2 * 3"));
    EXPECT_EQ("9", value("(1 + 2) * 3"));
    EXPECT_EQ("3.5", value("7 / 2"));
    EXPECT_EQ("0.3333333333333333", value("1 / 3"));
    EXPECT_EQ("64", value("2 ^ 3 ^ 2"));    // left to right
    EXPECT_EQ("4", value("-2 ^ 2"));        // unary minus binds tightest
    EXPECT_EQ("0.25", value("2 ^ -2"));
    EXPECT_EQ("-1", value("2 - 3"));
    EXPECT_EQ("5", value("2 - -3"));
    EXPECT_EQ("a3", value(R"("a" & 1 + 2)"));  // & after +
    EXPECT_EQ("0.3", value("0.1 + 0.2"));   // decimal, not binary, arithmetic
    EXPECT_EQ("1", value(R"("" + 1)"));
}

TEST_F(CalcTest, ComparisonsAndLogic)
{
    EXPECT_EQ("1", value("1 + 2 = 3"));
    EXPECT_EQ("1", value("10 > 9"));                // numbers compare as numbers
    EXPECT_EQ("1", value(R"("abc" = "ABC")"));      // text ignores case
    EXPECT_EQ("1", value(R"("a" < "b")"));
    EXPECT_EQ("1", value("1 \xE2\x89\xA0 2"));       // ≠
    EXPECT_EQ("0", value("1 <> 1"));
    EXPECT_EQ("1", value("2 \xE2\x89\xA4 2 and 3 >= 3"));
    EXPECT_EQ("0", value("3 \xE2\x89\xA5 4"));
    EXPECT_EQ("1", value("not 1 = 2"));             // not takes the whole comparison
    EXPECT_EQ("1", value("0 and 1 or 1"));
    EXPECT_EQ("0", value("1 xor 1"));
    EXPECT_EQ("1", value("1 < 2 < 3"));
}

TEST_F(CalcTest, AndOrStopAtTheDecidingSide)
{
    EXPECT_EQ("1", value("1 or Let ( $$touched = 1 ; 1 )"));
    EXPECT_EQ("0", value("0 and Let ( $$touched = 1 ; 1 )"));
    EXPECT_EQ("", value("$$touched"));
    EXPECT_EQ("1", value("1 or 1/0"));
}

TEST_F(CalcTest, VariablesLiveForTheSessionAndIgnoreCase)
{
    EXPECT_EQ("0", value("Let ( [ $$total = 5 ; $local = \"x\" ] ; 0 )"));
    EXPECT_EQ("6", value("$$total + 1"));
    EXPECT_EQ("6", value("$$TOTAL + 1"));
    EXPECT_EQ("x", value("$Local"));
    EXPECT_EQ("", value("$total"));              // $ and $$ are separate names
    EXPECT_EQ("1", value("IsEmpty ( $$never )"));
    FMHost::Session other;
    EXPECT_EQ("", other.Evaluate("$$total").text); // sessions do not share variables
}

TEST_F(CalcTest, LetBindsInOrderAndScopesPlainNames)
{
    EXPECT_EQ("3", value("Let ( a = 3 ; a )"));
    EXPECT_EQ("3", value("Let ( [ a = 1 ; b = a + 2 ] ; b )"));
    EXPECT_EQ("21", value("Let ( a = 1 ; Let ( a = 2 ; a ) & a )"));
    EXPECT_EQ("51", value("Let ( [ a = 1 ; b = Let ( c = 5 ; c ) ] ; b & a )"));
    EXPECT_EQ("12", value("Let ( [ a = Let ( b = 2 ; b ) ; c = 1 ] ; c & a )"));
    EXPECT_EQ("x", value("LET ( A = \"x\" ; a )"));
    EXPECT_EQ(102, error("Let ( a = 1 ; a ) & a"));  // a local does not outlive its Let
}

TEST_F(CalcTest, RepeatingVariablesAreVariablesOfTheirOwnAndTheFirstIsThePlainName)
{
    EXPECT_EQ("111", value("Let ( [ $var[1] = 1 ; $var[2] = 10 ; $var[3] = 100 ] ; $var[1] + $var[2] + $var[3] )"));
    EXPECT_EQ("1", value("$var"));               // $var is $var[1]
    EXPECT_EQ("10", value("$VAR[ 1 + 1 ]"));     // any calculation as the number, names ignore case
    EXPECT_EQ("10", value("$var[2.9]"));         // its whole part counts
    EXPECT_EQ("", value("$var[4]"));
    EXPECT_EQ("", value("$$var[2]"));            // $ and $$ stay apart with repetitions too
    value("Let ( [ $$g[0] = \"zero\" ; $$g[-1] = \"minus\" ; $$g = \"one\" ] ; 0 )");
    EXPECT_EQ("zero|minus|one", value("$$g[0] & \"|\" & $$g[-1] & \"|\" & $$g[1]"));
    EXPECT_EQ("149", value("While ( [ i = 1 ] ; i <= 3 ; [ $sq[i] = i * i ; i = i + 1 ] ; $sq[1] & $sq[2] & $sq[3] )"));
    EXPECT_EQ("5", value("Let ( $n[2] = 5 ; Evaluate ( \"$n[2]\" ) )"));
    EXPECT_EQ("2", value("Length ( $sq[2] & $sq )"));   // read in place and through a built-in
}

TEST_F(CalcTest, RepeatingVariableMistakesFailAndSetNothing)
{
    EXPECT_EQ(1218, error("Let ( $$r[1/0] = 1 ; 2 )"));
    EXPECT_EQ(1218, error("$$r[1/0]"));
    EXPECT_EQ(1218, error("Let ( [ $$r[2] = 7 ; $$r[3] = 1 / 0 ] ; 1 )"));
    EXPECT_EQ("", value("$$r[2]"));              // undone with the failed calculation
    EXPECT_EQ(1203, error("$$r["));
    EXPECT_EQ(1203, error("$$r[2"));
    EXPECT_EQ(1212, error("Let ( $$r[2 = 1 ; 1 )"));
    EXPECT_EQ(1212, error("Let ( a[2] = 1 ; a )")); // only $ and $$ variables repeat
    EXPECT_EQ(1204, error("$$r[]"));
}

TEST_F(CalcTest, FailedEvaluationChangesNoVariableAndNoResult)
{
    value("Let ( $$kept = 1 ; 0 )");
    EXPECT_EQ(1218, error("Let ( [ $$kept = 2 ; $$fresh = 3 ; $$KEPT = 4 ; x = 1 / 0 ] ; 1 )"));
    EXPECT_EQ("1", value("$$kept"));
    EXPECT_EQ("1", value("IsEmpty ( $$fresh )"));

    fmx::TextUniquePtr calculation;
    calculation->Assign("Length ( ");
    fmx::DataUniquePtr result;
    fmx::TextUniquePtr before;
    before->Assign("untouched");
    fmx::LocaleUniquePtr locale;
    result->SetAsText(*before, *locale);
    EXPECT_EQ(1203, session.Evaluate(*calculation, *result));
    EXPECT_EQ("untouched", FMHost::TextOf(*result));
}

TEST_F(CalcTest, IfAndCaseEvaluateOnlyTheChosenBranch)
{
    EXPECT_EQ("yes", value(R"(If ( 1 ; "yes" ; 1/0 ))"));
    EXPECT_EQ("no", value(R"(If ( "" ; 1/0 ; "no" ))"));
    EXPECT_EQ("", value(R"(If ( 0 ; "yes" ))"));
    EXPECT_EQ("b", value(R"(Case ( 0 ; "a" ; 1 ; "b" ; 1/0 ))"));
    EXPECT_EQ("d", value(R"(Case ( 0 ; "a" ; "d" ))"));
    EXPECT_EQ("", value(R"(Case ( 0 ; "a" ))"));
    // The last-error texts the plug-in sends.
    EXPECT_EQ("No Error Message",
              value(R"(If( IsEmpty( $$Vantrel_LastError ); "No Error Message"; $$Vantrel_LastError ))"));
    value(R"(Let ( [ $$Vantrel_LastError = -50 ; $$Vantrel_LastErrorMessage = "Unrecognized \"selector\"" ] ; "" ))");
    EXPECT_EQ("-50", value(R"(If( IsEmpty( $$Vantrel_LastError ); "No Error Message"; $$Vantrel_LastError ))"));
    EXPECT_EQ("Unrecognized \"selector\"", value("$$Vantrel_LastErrorMessage"));
}

TEST_F(CalcTest, TextFunctions)
{
    EXPECT_EQ("1", value(R"(IsEmpty ( "" ))"));
    EXPECT_EQ("0", value("IsEmpty ( 0 )"));
    EXPECT_EQ("3", value(R"(Length ( "abc" ))"));
    EXPECT_EQ("4", value("Length ( 12.50 )"));
    EXPECT_EQ("1", value("Length ( \"\xF0\x9F\x98\x80\" )"));  // one character outside the basic plane
    EXPECT_EQ("A", value("Char ( 65 )"));
    EXPECT_EQ("AB", value("Char ( 6600065 )"));
    EXPECT_EQ("", value("Char ( 0 )"));
    EXPECT_EQ("65", value(R"(Code ( "A" ))"));
    EXPECT_EQ("6600065", value(R"(Code ( "AB" ))"));
    EXPECT_EQ("", value(R"(Code ( "" ))"));  // no character, no code
    EXPECT_EQ("\xF0\x9F\x98\x80", value("Char ( Code ( \"\xF0\x9F\x98\x80\" ) )"));
    EXPECT_EQ("12.5", value("GetAsText ( 12.50 )"));
    EXPECT_EQ(FMHost::Type::Text, type("GetAsText ( 1 )"));
    EXPECT_EQ("12.5", value(R"(GetAsNumber ( "a1b2.5c" ))"));
    EXPECT_EQ(FMHost::Type::Number, type(R"(GetAsNumber ( "1" ))"));
    EXPECT_EQ("", value(R"(GetAsNumber ( "abc" ))"));
}

TEST_F(CalcTest, ValueListFunctions)
{
    EXPECT_EQ("a\rb", value(R"(List ( "a" ; "" ; "b" ))"));
    EXPECT_EQ("", value(R"(List ( "" ))"));
    EXPECT_EQ("2", value("ValueCount ( \"a\xC2\xB6" "b\xC2\xB6\" )"));  // a final ¶ starts no value
    EXPECT_EQ("3", value("ValueCount ( \"a\xC2\xB6\xC2\xB6" "b\" )"));
    EXPECT_EQ("0", value(R"(ValueCount ( "" ))"));
    EXPECT_EQ("2", value("ValueCount ( \"a\xE2\x80\xA8" "b\" )"));       // a line separator splits too
    EXPECT_EQ("b", value("GetValue ( \"a\xC2\xB6" "b\xC2\xB6" "c\" ; 2 )"));
    EXPECT_EQ("", value("GetValue ( \"a\xC2\xB6" "b\" ; 3 )"));
    EXPECT_EQ("", value("GetValue ( \"a\" ; 0 )"));
}

TEST_F(CalcTest, DatesTimesAndTimestamps)
{
    EXPECT_EQ("12/31/2026", value("Date ( 12 ; 31 ; 2026 )"));
    EXPECT_EQ(FMHost::Type::Date, type("Date ( 12 ; 31 ; 2026 )"));
    EXPECT_EQ("1/1/2027", value("Date ( 13 ; 1 ; 2026 )"));
    EXPECT_EQ("1/1/2027", value("Date ( 12 ; 31 ; 2026 ) + 1"));
    EXPECT_EQ("365", value("Date ( 1 ; 1 ; 2027 ) - Date ( 1 ; 1 ; 2026 )"));
    EXPECT_EQ("13:05:09", value("Time ( 13 ; 5 ; 9 )"));
    EXPECT_EQ(FMHost::Type::Time, type("Time ( 13 ; 5 ; 9 )"));
    EXPECT_EQ("12/31/2026 1:05:09 PM", value("Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 13 ; 5 ; 9 ) )"));
    EXPECT_EQ(FMHost::Type::Timestamp, type("Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 1 ; 0 ; 0 ) )"));
    EXPECT_EQ("1/1/2027 1:00:00 AM", value("Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 25 ; 0 ; 0 ) )"));
    EXPECT_EQ(1218, error("Date ( 1 ; 1 ; 10000 )"));
}

TEST_F(CalcTest, GetSelectorsAndDatabaseNames)
{
    EXPECT_EQ("", value("Get ( FileName )"));
    session.OpenFile("Invoices");
    session.OpenFile("Contacts");
    EXPECT_EQ("Invoices", value("Get( fileName )"));
    EXPECT_EQ("Invoices", value("GET ( FILENAME )"));
    EXPECT_EQ("Invoices\rContacts", value("DatabaseNames"));
    EXPECT_EQ(FMHost::Type::Date, type("Get ( CurrentDate )"));
    EXPECT_FALSE(value("Get ( ApplicationVersion )").empty());
    EXPECT_EQ(1215, error("Get ( NoSuchThing )"));
    EXPECT_EQ(1215, error(R"(Get ( "FileName" ))"));
}

TEST_F(CalcTest, FunctionNamesIgnoreCase)
{
    EXPECT_EQ("3", value(R"(length ( "abc" ))"));
    EXPECT_EQ("y", value(R"(iF ( TRUE ; "y" ; "n" ))"));
    EXPECT_EQ("1", value(R"(isempty ( "" ))"));
}

struct ErrorCase
{
    const char *calculation;
    int code;
};

TEST_F(CalcTest, MistakesAnswerFileMakersErrorCodes)
{
    const ErrorCase cases[] = {
        {R"("abc)", 1206},           {"/* open", 1205},         {"(1 + 2", 1207},
        {"1 + 2)", 1207},            {"Length ( \"a\" ", 1207}, {"1 +", 1203},
        {"", 1203},                  {"1 2", 1212},             {"1 @ 2", 1212},
        {"@", 1204},                 {"* 2", 1204},             {"Length ( )", 1201},
        {"Length ( 1 ; 2 )", 1202},  {"GetValue ( 1 )", 1201},  {"NoSuchFunction ( 1 )", 1224},
        {"noSuchName", 102},         {"$", 1209},               {"Let ( 1 = 2 ; 3 )", 1209},
        {"Let ( a = 1 )", 1201},     {"Let ( a 1 ; a )", 1212}, {"1 / 0", 1218},
        {"Let ( [ a = 1 ; b = 2 ; a )", 1212},
    };
    for (const ErrorCase &c : cases)
    {
        FMHost::Result result = eval(c.calculation);
        EXPECT_EQ(c.code, result.error) << c.calculation;
        EXPECT_EQ("", result.text) << c.calculation;
    }
}

TEST_F(CalcTest, HostileNestingEndsInAnErrorNotACrash)
{
    std::string deep(100000, '(');
    deep += "1";
    deep += std::string(100000, ')');
    EXPECT_EQ(1200, error(deep));
    std::string chain = "1";
    for (int i = 0; i < 5000; ++i)
        chain += "+1";
    EXPECT_EQ(1200, error(chain));
    std::string ok = "1";
    for (int i = 0; i < 100; ++i)
        ok += "+1";
    EXPECT_EQ("101", value(ok));
}

TEST_F(CalcTest, CodeOfALongTextTakesLinearTime)
{
    // Code had quadratic cost: a text of this length kept the calculation busy for many seconds.
    const std::string longText(400000, 'a');
    const auto start = std::chrono::steady_clock::now();
    const std::string code = value("Code ( \"" + longText + "\" )");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));  // generous: guards a hang
    EXPECT_EQ("?", code);  // beyond what a number carries
    EXPECT_EQ("?", value(R"(Code ( "abcdefgh" ))"));  // 40 digits would come out rounded
    EXPECT_EQ("970009800099", value(R"(Code ( "cba" ))"));
}

TEST_F(CalcTest, FarOffTimestampsSaturateInsteadOfOverflowing)
{
    EXPECT_EQ(value("Timestamp ( Date ( 1 ; 1 ; 1 ) ; Time ( 2^63 ; 0 ; 0 ) )"), value("Timestamp ( 10^399 ; 10^399 )"));
    EXPECT_EQ(value("Timestamp ( Date ( 1 ; 1 ; 1 ) ; Time ( -2^63 ; 0 ; 0 ) )"),
              value("Timestamp ( -10^399 ; -10^399 )"));
}

TEST_F(CalcTest, CachedParsesStillSeeCurrentValues)
{
    value("Let ( $$n = 1 ; 0 )");
    EXPECT_EQ("2", value("$$n + 1"));
    value("Let ( $$n = 5 ; 0 )");
    EXPECT_EQ("6", value("$$n + 1"));
    for (int i = 0; i < 1200; ++i)   // more distinct texts than the cache keeps
        ASSERT_EQ(std::to_string(i), value(std::to_string(i) + " + 0"));
    EXPECT_EQ("6", value("$$n + 1"));
}

TEST_F(CalcTest, SessionsOnSeveralThreadsStayApart)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &failures] {
            FMHost::Session own;
            for (int i = 0; i < 300; ++i)
            {
                std::string n = std::to_string(t * 1000 + i);
                own.Evaluate("Let ( $$v = " + n + " ; 0 )");
                if (own.Evaluate("$$v & \"/\" & Length ( \"abc\" )").text != n + "/3")
                    ++failures;
            }
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(0, failures.load());
}

// Plug-in functions registered through the SDK, as a plug-in does at initialisation.
std::atomic<int> gCalls{0};

fmx::errcode sumArguments(short, const fmx::ExprEnv &, const fmx::DataVect &parms, fmx::Data &result)
{
    ++gCalls;
    double sum = 0;
    for (fmx::uint32 i = 0; i < parms.Size(); ++i)
        sum += parms.AtAsNumber(i).AsFloat();
    fmx::FixPtUniquePtr number;
    number->AssignDouble(sum);
    result.SetAsNumber(*number);
    return 0;
}

fmx::errcode answerError(short, const fmx::ExprEnv &, const fmx::DataVect &, fmx::Data &) { return 1552; }

// "plain¶bold" with "bold" in bold.
fmx::errcode styledText(short, const fmx::ExprEnv &, const fmx::DataVect &, fmx::Data &result)
{
    fmx::TextUniquePtr text;
    text->Assign("plain\rbold");
    fmx::CharacterStyleUniquePtr bold;
    bold->EnableFace(fmx::CharacterStyle::kFace_Bold);
    text->SetStyle(*bold, 6, 4);
    fmx::LocaleUniquePtr locale;
    result.SetAsText(*text, *locale);
    return 0;
}

// The face bits at a position of the first argument.
fmx::errcode faceAt(short, const fmx::ExprEnv &, const fmx::DataVect &parms, fmx::Data &result)
{
    fmx::CharacterStyleUniquePtr style;
    parms.AtAsText(0).GetStyle(*style, static_cast<fmx::uint32>(parms.AtAsNumber(1).AsLong()));
    fmx::FixPtUniquePtr face(style->GetFace());
    result.SetAsNumber(*face);
    return 0;
}

// Evaluates in the caller's environment while the outer calculation runs.
fmx::errcode nestedEvaluate(short, const fmx::ExprEnv &env, const fmx::DataVect &, fmx::Data &result)
{
    fmx::TextUniquePtr calculation;
    calculation->Assign("Let ( $$inner = $$outer & \"+inner\" ; $$inner )");
    return env.Evaluate(*calculation, result);
}

// A container holding three bytes of JPEG data and no file name.
fmx::errcode container(short, const fmx::ExprEnv &, const fmx::DataVect &, fmx::Data &result)
{
    fmx::BinaryDataUniquePtr data;
    fmx::QuadCharUniquePtr jpeg('J', 'P', 'E', 'G');
    char bytes[3] = {1, 2, 3};
    data->Add(*jpeg, sizeof bytes, bytes);
    result.SetBinaryData(*data);
    return 0;
}

class PluginFunctionTest : public CalcTest
{
protected:
    struct Function
    {
        short id;
        const char *name;
        short minArgs, maxArgs;
        fmx::ExtPluginType function;
    };
    const std::vector<Function> functions = {
        {1, "Test_Sum", 2, 3, &sumArguments},   {2, "Test_Any", 0, -1, &sumArguments},
        {3, "Test_Error", 0, 0, &answerError},  {4, "Test_Styled", 0, 0, &styledText},
        {5, "Test_FaceAt", 2, 2, &faceAt},      {6, "Test_Nested", 0, 0, &nestedEvaluate},
        {7, "Test_Container", 0, 0, &container},
    };

    void SetUp() override
    {
        fmx::QuadCharUniquePtr pluginId('T', 'E', 'S', 'T');
        for (const Function &f : functions)
        {
            fmx::TextUniquePtr name;
            name->Assign(f.name);
            ASSERT_EQ(0, fmx::ExprEnv::RegisterExternalFunction(*pluginId, f.id, *name, *name, f.minArgs, f.maxArgs,
                                                                0xFF01, f.function));
        }
        gCalls = 0;
    }

    void TearDown() override
    {
        fmx::QuadCharUniquePtr pluginId('T', 'E', 'S', 'T');
        for (const Function &f : functions)
            fmx::ExprEnv::UnRegisterExternalFunction(*pluginId, f.id);
    }
};

TEST_F(PluginFunctionTest, CalledByRegisteredNameWithoutRegardToCase)
{
    EXPECT_EQ("3", value("Test_Sum ( 1 ; 2 )"));
    EXPECT_EQ("6", value("test_sum ( 1 ; 2 ; 3 )"));
    EXPECT_EQ("0", value("Test_Any"));       // no arguments: no parentheses needed
    EXPECT_EQ("0", value("Test_Any ( )"));
    EXPECT_EQ("10", value("Test_Any ( 1 ; 2 ; 3 ; 4 )"));
    EXPECT_EQ(5, gCalls.load());
}

TEST_F(PluginFunctionTest, ArgumentCountOutsideTheRegistrationIsAnErrorAndTheFunctionIsNotCalled)
{
    EXPECT_EQ(1201, error("Test_Sum ( 1 )"));
    EXPECT_EQ(1202, error("Test_Sum ( 1 ; 2 ; 3 ; 4 )"));
    EXPECT_EQ(1201, error("Test_Sum"));
    EXPECT_EQ(1202, error("Test_Error ( 1 )"));
    EXPECT_EQ(0, gCalls.load());
}

TEST_F(PluginFunctionTest, AnErrorAnsweredByThePluginFailsTheCalculation)
{
    value("Let ( $$before = 1 ; 0 )");
    EXPECT_EQ(1552, error("Let ( $$before = 2 ; Test_Error )"));
    EXPECT_EQ("1", value("$$before"));
}

TEST_F(PluginFunctionTest, UnregisteredFunctionsAreUnknown)
{
    TearDown();
    EXPECT_EQ(1224, error("Test_Sum ( 1 ; 2 )"));
    EXPECT_EQ(102, error("Test_Any"));
    SetUp();
}

TEST_F(PluginFunctionTest, StylesTravelThroughVariablesValuesAndConcatenation)
{
    EXPECT_EQ("256", value("Test_FaceAt ( GetValue ( Test_Styled ; 2 ) ; 0 )"));
    EXPECT_EQ("0", value("Test_FaceAt ( GetValue ( Test_Styled ; 1 ) ; 0 )"));
    value("Let ( $$styled = Test_Styled ; 0 )");
    EXPECT_EQ("256", value("Test_FaceAt ( $$styled ; 6 )"));
    EXPECT_EQ("256", value("Test_FaceAt ( \"x\" & $$styled ; 7 )"));
    EXPECT_EQ("256", value("Test_FaceAt ( List ( \"x\" ; $$styled ) ; 8 )"));
    EXPECT_EQ("256", value("Test_FaceAt ( GetAsText ( $$styled ) ; 6 )"));
}

TEST_F(PluginFunctionTest, ContainersKeepTheirTypeAndAreNotEmptyWithoutAFileName)
{
    EXPECT_EQ(FMHost::Type::Container, type("Test_Container"));
    EXPECT_EQ("0", value("IsEmpty ( Test_Container )"));
    value("Let ( $$picture = Test_Container ; 0 )");
    EXPECT_EQ(FMHost::Type::Container, type("$$picture"));
}

TEST_F(PluginFunctionTest, PluginMayEvaluateInTheCallersSessionDuringACalculation)
{
    EXPECT_EQ("outer+inner", value("Let ( $$outer = \"outer\" ; Test_Nested )"));
    EXPECT_EQ("outer+inner", value("$$inner"));
}
} // namespace
