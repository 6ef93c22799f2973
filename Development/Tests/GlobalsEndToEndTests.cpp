// The global variables, the Get/Set selectors and the numeric sort as a FileMaker developer meets them: calculations
// evaluated by fmhost with the sandbox plug-in loaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FmhostRunner.h"

namespace
{
// fmhost's plug-in reads the sandbox allow-list; these tests let everything run in their files.
class GlobalsEndToEnd : public ::testing::Test
{
protected:
    fmhosttest::cSandboxAllowList allowList{"A\tany\nB\tany\nC\tany\n"};
};

// One calculation and what it must give: the type and the exact text form (kAny: not checked). A step whose calc
// is an fmhost ":" line gives no answer.
const char *const kAny = "\x01";
struct cStep
{
    std::string calc, type, value;
};

// Runs the steps in one fmhost session with the files open, the first one the calling file.
void expectSteps(const std::vector<std::string> &files, const std::vector<cStep> &steps)
{
    std::vector<std::string> calculations;
    std::vector<cStep> answered;
    for (const cStep &step : steps)
    {
        calculations.push_back(step.calc);
        if (step.calc.rfind(":", 0) != 0)
            answered.push_back(step);
    }
    const fmhosttest::cRun run = fmhosttest::runFmhost(calculations, files);
    EXPECT_EQ(0, run.status);
    const std::vector<fmhosttest::cAnswer> &lines = run.answers;
    ASSERT_EQ(answered.size(), lines.size());
    for (std::size_t i = 0; i < answered.size(); ++i)
    {
        SCOPED_TRACE(answered[i].calc);
        EXPECT_EQ("0", lines[i].at("error"));
        if (answered[i].type != kAny)
        {
            EXPECT_EQ(answered[i].type, lines[i].at("type"));
        }
        if (answered[i].value != kAny)
        {
            EXPECT_EQ(answered[i].value, lines[i].at("value"));
        }
    }
}
}

TEST_F(GlobalsEndToEnd, StoredValuesComeBackWithTheirType)
{
    expectSteps({"A"}, {
        {"Vantrel_SetGlobal ( \"n\" ; 12.5 )", "Number", "12.5"},
        {"Vantrel_GetGlobal ( \"n\" )", "Number", "12.5"},
        {"Vantrel_GetGlobal ( \"n\" ) * 2", "Number", "25"},
        {"Vantrel_SetGlobal ( \"d\" ; Date ( 12 ; 31 ; 2026 ) )", "Date", "12/31/2026"},
        {"Vantrel_GetGlobal ( \"d\" )", "Date", "12/31/2026"},
        {"Vantrel_GetGlobal ( \"d\" ) + 1", "Date", "1/1/2027"},
        {"Vantrel_SetGlobal ( \"ts\" ; Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 13 ; 5 ; 9 ) ) )", "Timestamp", kAny},
        {"Vantrel_GetGlobal ( \"ts\" ) = Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 13 ; 5 ; 9 ) )", "Number", "1"},
        {"Vantrel_GetGlobal ( \"ts\" )", "Timestamp", kAny},
        {"Vantrel_SetGlobal ( \"t\" ; \"twelve\" )", "Text", "twelve"},
        {"Vantrel_GetGlobal ( \"t\" ) & \"!\"", "Text", "twelve!"},
        {"Vantrel_GetGlobal ( \"never stored\" )", kAny, ""},
    });
}

TEST_F(GlobalsEndToEnd, StyledTextKeepsItsStyles)
{
    expectSteps({"A"}, {
        {"Let ( $styled = TextColor ( TextStyleAdd ( \"bold\" ; Bold ) ; RGB ( 255 ; 0 ; 0 ) ) & \" plain\" ;"
         " Vantrel_SetGlobal ( \"styled\" ; $styled ) )", "Text", "bold plain"},
        {"GetAsCSS ( Vantrel_GetGlobal ( \"styled\" ) ) = GetAsCSS ( $styled )", "Number", "1"},
        {"GetAsCSS ( Vantrel_GetGlobal ( \"styled\" ) ) = GetAsCSS ( \"bold plain\" )", "Number", "0"},
    });
}

TEST_F(GlobalsEndToEnd, EmptyKeyEmptiesAllAndEmptyTextRemovesOne)
{
    expectSteps({"A"}, {
        {"Vantrel_SetGlobal ( \"a\" ; 1 ) & Vantrel_SetGlobal ( \"b\" ; 2 ) & Vantrel_SetGlobal ( \"c\" ; 3 )", "Text", "123"},
        {"Vantrel_SetGlobal ( \"a\" ; \"\" )", kAny, ""},
        {"List ( Vantrel_GetGlobal ( \"a\" ) ; Vantrel_GetGlobal ( \"b\" ) ; Vantrel_GetGlobal ( \"c\" ) )", "Text", "2\r3"},
        {"Vantrel_SetGlobal ( \"b\" ; 0 )", "Number", "0"}, // a number 0 is stored, not a removal
        {"Vantrel_SetGlobal ( \"\" ; \"anything\" )", kAny, ""},
        {"List ( Vantrel_GetGlobal ( \"b\" ) ; Vantrel_GetGlobal ( \"c\" ) ) & \"|\"", "Text", "|"},
    });
}

TEST_F(GlobalsEndToEnd, OptionIsDieOnCloseInAnyCaseAndNothingElse)
{
    expectSteps({"A"}, {
        {"Vantrel_SetGlobal ( \"k\" ; 1 ; \"DIEONCLOSE\" )", "Number", "1"},
        {"Vantrel_SetGlobal ( \"k2\" ; 2 ; \" dieonclose\" )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Unknown value of parameter moreOptions"},
        {"Vantrel_Get ( \"lastError\" )", "Number", "-50"},
        {"IsEmpty ( Vantrel_GetGlobal ( \"k2\" ) )", "Number", "1"},
        {"Vantrel_SetGlobal ( \"k\" )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Key and value must be specified"},
        {"Vantrel_GetGlobal", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Key must be specified"},
    });
}

TEST_F(GlobalsEndToEnd, BoundKeysFollowTheFirstFileAndGoWhenItCloses)
{
    expectSteps({"A", "B", "C"}, {
        {"Vantrel_SetGlobal ( \"fromA\" ; \"a\" ; \"dieonclose\" )", "Text", "a"},
        {"EmulatorSetCallingFile ( \"B\" )", "Number", "1"},
        {"Vantrel_SetGlobal ( \"fromA\" ; \"a again\" ; \"dieonclose\" )", "Text", "a again"}, // stays bound to A
        {"Vantrel_SetGlobal ( \"fromB\" ; \"b\" ; \"dieonclose\" )", "Text", "b"},
        {"Vantrel_SetGlobal ( \"plain\" ; \"p\" )", "Text", "p"},
        {"EmulatorSetCallingFile ( \"C\" )", "Number", "1"},
        {"EmulatorCloseFile ( \"B\" )", "Number", "1"},
        {"List ( Vantrel_GetGlobal ( \"fromA\" ) ; Vantrel_GetGlobal ( \"fromB\" ) ; Vantrel_GetGlobal ( \"plain\" ) )",
         "Text", "a again\rp"},
        {"EmulatorCloseFile ( \"A\" )", "Number", "1"},
        {"List ( Vantrel_GetGlobal ( \"fromA\" ) ; Vantrel_GetGlobal ( \"fromB\" ) ; Vantrel_GetGlobal ( \"plain\" ) )",
         "Text", "p"},
    });
}

// Several users at once: a key bound in one session is that session's, whatever the others do.
TEST_F(GlobalsEndToEnd, BoundKeysBelongToTheSessionThatBoundThem)
{
    expectSteps({"A"}, {
        {"Vantrel_Set ( \"globalDieInterval\" ; 1 )", "Number", "1"},
        {"Vantrel_SetGlobal ( \"plain\" ; \"p\" )", "Text", "p"},
        {":session alice B", kAny, kAny},
        {"Vantrel_SetGlobal ( \"alice's\" ; \"a\" ; \"dieonclose\" )", "Text", "a"},
        {"Vantrel_SetGlobal ( \"plain\" ; \"still plain\" )", "Text", "still plain"},
        {":session bob C B", kAny, kAny},
        {":sleep 1.2", kAny, kAny}, // past the die interval
        {":close B", kAny, kAny},   // bob leaves B; alice has it open still
        {"Vantrel_GetGlobal ( \"alice's\" )", "Text", "a"},
        {"Vantrel_SetGlobal ( \"alice's\" ; \"by bob\" ; \"dieonclose\" )", "Text", "by bob"}, // stays alice's
        {":end", kAny, kAny},
        {"Vantrel_GetGlobal ( \"alice's\" )", "Text", "by bob"},
        {":session alice", kAny, kAny},
        {":close B", kAny, kAny},   // now the file that bound it closes in the session that bound it
        {":session main", kAny, kAny},
        {"Vantrel_GetGlobal ( \"alice's\" ) & \"|\" & Vantrel_GetGlobal ( \"plain\" )", "Text", "|still plain"},
        {":session carol C", kAny, kAny},
        {"Vantrel_SetGlobal ( \"carol's\" ; 3 ; \"dieonclose\" )", "Number", "3"},
        {":end", kAny, kAny},       // carol ends with C open
        {"Vantrel_GetGlobal ( \"carol's\" ) & \"|\" & Vantrel_GetGlobal ( \"plain\" )", "Text", "|still plain"},
    });
}

TEST_F(GlobalsEndToEnd, DieIntervalIsAFiniteNumberOfSecondsOfAtLeastOne)
{
    const char *const kMessage = "globalDieInterval must be a number of seconds, at least 1";
    expectSteps({"A"}, {
        {"Vantrel_Set ( \"globalDieInterval\" ; 120 )", "Number", "120"},
        {"Vantrel_Set ( \"globalDieInterval\" ; 0 )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", kMessage},
        {"Vantrel_Set ( \"globalDieInterval\" ; -3 )", "Number", "-50"},
        {"Vantrel_Set ( \"globalDieInterval\" ; 0.5 )", "Number", "-50"},
        {"Vantrel_Set ( \"globalDieInterval\" ; \"soon\" )", "Number", "-50"},
        {"Vantrel_Set ( \"globalDieInterval\" ; \"\" )", "Number", "-50"},
        {"Vantrel_Set ( \"globalDieInterval\" ; 1 )", "Number", "1"},
        {"Vantrel_Set ( \"globalDieInterval\" ; \"90\" )", "Text", "90"},
    });
}

TEST_F(GlobalsEndToEnd, SortAndLastErrorSelectors)
{
    expectSteps({"A"}, {
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "No Error Message"},
        {"Vantrel_Get ( \"sort\" ; \"10¶9¶100\" )", "Text", "9\r10\r100\r"},
        {"Vantrel_Get ( \"sort\" ; \"1234567\" )", "Text", "1.23457e+06\r"},
        {"Vantrel_Get ( \"sort\" ; \"3¶1¶2¶\" )", "Text", "1\r2\r3\r"}, // no phantom number after the final ¶
        {"Vantrel_Get ( \"sort\" ; \"12 kg¶apples¶-2.5¶\" )", "Text", "-2.5\r12\r"},
        {"Vantrel_Get ( \"nope\" )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Unrecognized selector"},
        {"Vantrel_Get ( \"LASTERROR\" )", "Number", "-50"},
        {"Vantrel_Get ( \"timestamp\" ) > Timestamp ( Date ( 1 ; 1 ; 2024 ) ; 0 )", "Number", "1"},
        {"Vantrel_Get ( \"timestamp\" )", "Timestamp", kAny},
        {"Vantrel_Set ( \"nope\" ; 1 )", "Number", "-50"},
        {"Vantrel_Get ( \"inlineDocumentation\" )", "Text", "on"},
        {"Vantrel_Set ( \"inlineDocumentation\" ; False )", "Text", "off"},
        {"Vantrel_Set ( \"inlineDocumentation\" ; \"TRUE\" )", "Text", "on"},
        {"Vantrel_Set ( \"inlineDocumentation\" ; 0 )", "Text", "off"},
        {"Vantrel_Set ( \"inlineDocumentation\" ; 1 )", "Text", "on"},
    });
}
