// The host emulator's built-in calculation functions, family by family: the semantics where FileMaker's
// behaviour is easy to get wrong (ranges outside the text, word boundaries, rounding, dates, JSON paths, errors).
#include "FMHost/Host.h"
#include "support/CalcSession.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using CalcFunctionTest = fmhosttest::cCalcSessionTest;

TEST_F(CalcFunctionTest, SlicesClipToTheTextAndCountCharacters)
{
    EXPECT_EQ("ab", value(R"(Left ( "abc" ; 2 ))"));
    EXPECT_EQ("abc", value(R"(Left ( "abc" ; 10 ))"));
    EXPECT_EQ("", value(R"(Left ( "abc" ; -1 ))"));
    EXPECT_EQ("bc", value(R"(Right ( "abc" ; 2 ))"));
    EXPECT_EQ("abc", value(R"(Right ( "abc" ; 99 ))"));
    EXPECT_EQ("bcd", value(R"(Middle ( "abcdef" ; 2 ; 3 ))"));
    EXPECT_EQ("ef", value(R"(Middle ( "abcdef" ; 5 ; 100 ))"));
    EXPECT_EQ("", value(R"(Middle ( "abcdef" ; 7 ; 1 ))"));
    EXPECT_EQ("abc", value(R"(Middle ( "abcdef" ; 0 ; 3 ))"));  // a start below 1 counts as 1
    EXPECT_EQ("abc", value(R"(Middle ( "abcdef" ; -5 ; 3 ))"));
    EXPECT_EQ("", value(R"(Middle ( "abcdef" ; 2 ; -1 ))"));
    EXPECT_EQ("ab", value(R"(Left ( "abc" ; 2.9 ))"));          // the whole part counts
    // A character outside the basic plane is one character, never split in half.
    EXPECT_EQ("\xF0\x9F\x98\x80x", value("Middle ( \"a\xF0\x9F\x98\x80x\" ; 2 ; 2 )"));
    EXPECT_EQ("\xF0\x9F\x98\x80", value("Right ( \"a\xF0\x9F\x98\x80\" ; 1 )"));
    EXPECT_EQ("aXYde", value(R"(Replace ( "abcde" ; 2 ; 2 ; "XY" ))"));
    EXPECT_EQ("abcdeX", value(R"(Replace ( "abcde" ; 9 ; 2 ; "X" ))"));
    EXPECT_EQ("Xabcde", value(R"(Replace ( "abcde" ; 0 ; 0 ; "X" ))"));
}

TEST_F(CalcFunctionTest, SearchesIgnoreCasePatternCountSkipsOverlapsPositionDoesNot)
{
    EXPECT_EQ("2", value(R"(PatternCount ( "aaaa" ; "AA" ))"));
    EXPECT_EQ("2", value(R"(PatternCount ( "aaaaa" ; "aa" ))"));
    EXPECT_EQ("0", value(R"(PatternCount ( "abc" ; "" ))"));
    EXPECT_EQ("3", value(R"(Position ( "Mississippi" ; "SS" ; 1 ; 1 ))"));
    EXPECT_EQ("6", value(R"(Position ( "Mississippi" ; "ss" ; 1 ; 2 ))"));
    EXPECT_EQ("5", value(R"(Position ( "Mississippi" ; "iss" ; 11 ; -1 ))"));
    EXPECT_EQ("2", value(R"(Position ( "Mississippi" ; "iss" ; 4 ; -1 ))"));
    EXPECT_EQ("6", value(R"(Position ( "Mississippi" ; "ss" ; 4 ; 1 ))"));
    EXPECT_EQ("0", value(R"(Position ( "Mississippi" ; "ss" ; 1 ; 3 ))"));
    EXPECT_EQ("0", value(R"(Position ( "abc" ; "b" ; 1 ; 0 ))"));
    EXPECT_EQ("3", value("Position ( \"\xF0\x9F\x98\x80xy\" ; \"y\" ; 1 ; 1 )"));
}

TEST_F(CalcFunctionTest, SubstituteTakesPairsInOrderAndMindsCase)
{
    EXPECT_EQ("a+b+c", value(R"(Substitute ( "a-b-c" ; "-" ; "+" ))"));
    EXPECT_EQ("Abc", value(R"(Substitute ( "Abc" ; "a" ; "x" ))"));
    EXPECT_EQ("ccc", value(R"(Substitute ( "abc" ; [ "a" ; "b" ] ; [ "b" ; "c" ] ))"));
    EXPECT_EQ("xbc", value(R"(Substitute ( "abc" ; [ "a" ; "x" ] ))"));
    EXPECT_EQ("a;b", value("Substitute ( \"a¶b\" ; ¶ ; \";\" )"));
    EXPECT_EQ("abc", value(R"(Substitute ( "abc" ; "" ; "x" ))"));
    EXPECT_EQ(1201, error(R"(Substitute ( "abc" ; "a" ))"));
    EXPECT_EQ(1202, error(R"(Substitute ( "abc" ; [ "a" ; "b" ; "c" ] ))"));
    EXPECT_EQ(1211, error(R"(Length ( [ "a" ; "b" ] ))"));
}

TEST_F(CalcFunctionTest, TrimmingAndCase)
{
    EXPECT_EQ("a  b", value(R"(Trim ( "  a  b  " ))"));
    EXPECT_EQ("\ra\r", value("Trim ( \" ¶a¶ \" )"));          // returns are not spaces
    EXPECT_EQ("a b c", value(R"(TrimAll ( "  a   b c  " ; 0 ; 0 ))"));
    EXPECT_EQ("Hello World-Wide O'Neil 3rd", value(R"(Proper ( "hELLO wORLD-wide o'neil 3RD" ))"));
    EXPECT_EQ("ABC\xC3\x89", value("Upper ( \"abc\xC3\xA9\" )"));
    EXPECT_EQ("abc", value(R"(Lower ( "ABC" ))"));
    EXPECT_EQ("0", value(R"(Exact ( "a" ; "A" ))"));
    EXPECT_EQ("1", value(R"(Exact ( "a" ; "a" ))"));
    EXPECT_EQ("5551234567", value(R"(Filter ( "(555) 123-4567" ; "0123456789" ))"));
    EXPECT_EQ("", value(R"(Filter ( "abc" ; "" ))"));
}

TEST_F(CalcFunctionTest, WordsSplitAtSpacesAndPunctuationButNotInsideNumbersOrContractions)
{
    EXPECT_EQ("7", value(R"(WordCount ( "Don't stop, 3.14 e-mail 1,000 a.b" ))"));
    EXPECT_EQ("0", value(R"(WordCount ( " ,;- " ))"));
    EXPECT_EQ("2", value("WordCount ( \"one¶two\" )"));
    EXPECT_EQ("one two", value(R"(LeftWords ( "  one two, three  " ; 2 ))"));
    EXPECT_EQ("two, three", value(R"(RightWords ( "  one two, three!  " ; 2 ))"));
    EXPECT_EQ("two", value(R"(MiddleWords ( "one two three" ; 2 ; 1 ))"));
    EXPECT_EQ("one two", value(R"(MiddleWords ( "one two three" ; 0 ; 2 ))"));
    EXPECT_EQ("", value(R"(LeftWords ( "one two" ; 0 ))"));
    EXPECT_EQ("one two", value(R"(RightWords ( "one two" ; 5 ))"));
}

TEST_F(CalcFunctionTest, QuoteReadsBackThroughEvaluate)
{
    EXPECT_EQ("\"a\\\"b\xC2\xB6" "c\\\\\"", value("Quote ( \"a\\\"b¶c\\\\\" )"));
    EXPECT_EQ("a\"b\rc\\ \xC2\xB6", value("Evaluate ( Quote ( \"a\\\"b¶c\\\\ \\¶\" ) )"));
}

TEST_F(CalcFunctionTest, SerialIncrementChangesTheLastDigitsAndKeepsTheirWidth)
{
    EXPECT_EQ("abc010", value(R"(SerialIncrement ( "abc009" ; 1 ))"));
    EXPECT_EQ("abc1000", value(R"(SerialIncrement ( "abc999" ; 1 ))"));
    EXPECT_EQ("abc-13", value(R"(SerialIncrement ( "abc-12" ; 1 ))"));
    EXPECT_EQ("abc1.2", value(R"(SerialIncrement ( "abc1.1" ; 1 ))"));
    EXPECT_EQ("x007", value(R"(SerialIncrement ( "x010" ; -3 ))"));
    EXPECT_EQ("x-002", value(R"(SerialIncrement ( "x001" ; -3 ))"));
    EXPECT_EQ("a12b", value(R"(SerialIncrement ( "a10b" ; 2.9 ))"));
    EXPECT_EQ("abc", value(R"(SerialIncrement ( "abc" ; 1 ))"));
    EXPECT_EQ("INV100000000000000000000000000000000000000000",
              value(R"(SerialIncrement ( "INV099999999999999999999999999999999999999999" ; 1 ))"));
}

TEST_F(CalcFunctionTest, ValueListsEndEachValueWithAReturn)
{
    EXPECT_EQ("a\rb\r", value("LeftValues ( \"a¶b¶c\" ; 2 )"));
    EXPECT_EQ("b\rc\r", value("RightValues ( \"a¶b¶c¶\" ; 2 )"));
    EXPECT_EQ("b\rc\r", value("MiddleValues ( \"a¶b¶c\" ; 2 ; 9 )"));
    EXPECT_EQ("a\rb\r", value("MiddleValues ( \"a¶b¶c\" ; 0 ; 2 )"));
    EXPECT_EQ("", value("LeftValues ( \"a¶b\" ; 0 )"));
    EXPECT_EQ("\rb\r", value("LeftValues ( \"¶b\" ; 2 )"));          // an empty value is a value
    EXPECT_EQ("B\rc\r", value("FilterValues ( \"a¶B¶c¶d\" ; \"b¶C\" )"));
    EXPECT_EQ("c", value("GetValue ( \"a¶b¶c\" ; 3 )"));
    EXPECT_EQ("", value("GetValue ( \"a¶b¶c\" ; -1 )"));
}

TEST_F(CalcFunctionTest, SortAndUniqueValuesByType)
{
    EXPECT_EQ("A\ra\rb\rc\r", value("SortValues ( \"b¶A¶c¶a\" )"));
    EXPECT_EQ("A\ra\rb\r", value("SortValues ( \"b¶A¶a\" ; 1 ; \"English\" )"));
    EXPECT_EQ("A\rB\ra\r", value("SortValues ( \"a¶B¶A\" ; 1 ; \"Unicode_Raw\" )"));
    EXPECT_EQ("9\r10\r100\rx\r", value("SortValues ( \"10¶9¶x¶100\" ; 2 )"));
    EXPECT_EQ("100\r10\r9\r", value("SortValues ( \"10¶9¶100\" ; -2 )"));
    EXPECT_EQ("1/2/2026\r12/1/2026\r", value("SortValues ( \"12/1/2026¶1/2/2026\" ; 3 )"));
    EXPECT_EQ("Apple\rBanana\r", value("UniqueValues ( \"Apple¶apple¶Banana\" )"));
    EXPECT_EQ("1\r2\r", value("UniqueValues ( \"1¶1.0¶2\" ; 2 )"));
    // An unknown type sorts as text, ascending; an unknown locale answers "?".
    EXPECT_EQ("10\r100\r9\r", value("SortValues ( \"10¶9¶100\" ; -6 )"));
    EXPECT_EQ("?", value("SortValues ( \"a\" ; 1 ; \"Elvish\" )"));
    EXPECT_EQ("?", value("UniqueValues ( \"a\" ; 1 ; \"Elvish\" )"));
}

TEST_F(CalcFunctionTest, ChooseEvaluateAndIsValid)
{
    EXPECT_EQ("one", value(R"(Choose ( 1 ; "zero" ; "one" ))"));
    EXPECT_EQ("", value(R"(Choose ( 2 ; "zero" ; "one" ))"));
    EXPECT_EQ("", value(R"(Choose ( -1 ; "zero" ; "one" ))"));
    EXPECT_EQ("3", value(R"(Evaluate ( "1 + 2" ))"));
    EXPECT_EQ("7", value(R"(Let ( $x = 7 ; Evaluate ( "$x" ) ))"));
    EXPECT_EQ("3", value(R"(Evaluate ( "1 + 2" ; [ $a ; $b ] ))"));
    EXPECT_EQ(1203, error(R"(Evaluate ( "1 +" ))"));
    EXPECT_EQ(102, error(R"(Let ( a = 1 ; Evaluate ( "a" ) ))"));   // Let variables stay outside
    EXPECT_EQ("0", value("IsValid ( noSuchField )"));
    EXPECT_EQ("1", value(R"(IsValid ( "x" ))"));
}

TEST_F(CalcFunctionTest, EvaluateCannotRecurseWithoutBound)
{
    // A variable that evaluates itself must end in an error, not in a stack overflow.
    value(R"c(Let ( $$self = "Evaluate ( $$self )" ; 1 ))c");
    EXPECT_EQ(1200, error("Evaluate ( $$self )"));
}

TEST_F(CalcFunctionTest, AFailedCalculationUndoesTheVariablesEvaluateSet)
{
    value("Let ( $$kept = 1 ; 1 )");
    EXPECT_EQ(1218, error(R"c(Evaluate ( "Let ( $$kept = 2 ; 1 )" ) / 0)c"));
    EXPECT_EQ("1", value("$$kept"));
}

TEST_F(CalcFunctionTest, WhileLoopsUntilItsConditionOrTheLimit)
{
    EXPECT_EQ("12345", value(R"(While ( [ i = 0 ; out = "" ] ; i < 5 ; [ i = i + 1 ; out = out & i ] ; out ))"));
    EXPECT_EQ("0", value("While ( i = 0 ; i > 0 ; i = i + 1 ; i )"));     // the logic may never run
    EXPECT_EQ("10", value("While ( [ i = 0 ; $n = 0 ] ; i < 10 ; [ i = i + 1 ; $n = $n + 1 ] ; $n )"));
    EXPECT_EQ("50000", value("While ( i = 0 ; i < 50000 ; i = i + 1 ; i )"));
    EXPECT_EQ(1200, error("While ( i = 0 ; 1 ; i = i + 1 ; i )"));
    // A While inside a Let has variables of its own; the Let's one is unchanged afterwards.
    EXPECT_EQ("5-1", value("Let ( i = 1 ; While ( i = 0 ; i < 5 ; i = i + 1 ; i ) & \"-\" & i )"));
    EXPECT_EQ(1201, error("While ( i = 0 ; i < 5 )"));
    EXPECT_EQ(1212, error("While ( i = 0 ; i < 5 ; i ; i )"));    // the logic sets variables
    EXPECT_EQ(1202, error("While ( i = 0 ; i < 5 ; i = i + 1 ; i ; i )"));
}

TEST_F(CalcFunctionTest, GetAsConversions)
{
    EXPECT_EQ("12/9/2026", value(R"(GetAsDate ( "12/8/2026" ) + 1)"));
    EXPECT_EQ(FMHost::Type::Date, type(R"(GetAsDate ( "2026-12-08" ))"));
    EXPECT_EQ(FMHost::Type::Time, type(R"(GetAsTime ( "13:05" ))"));
    EXPECT_EQ("13:05:00", value(R"(GetAsTime ( "1:05 PM" ))"));
    EXPECT_EQ("12/8/2026 1:05:00 PM", value(R"(GetAsTimestamp ( "12/8/2026 13:05:00" ))"));
    EXPECT_EQ("1:00:00", value("GetAsTime ( 3600 )"));
    EXPECT_EQ("", value(R"(GetAsDate ( "" ))"));
    EXPECT_EQ(500, error(R"(GetAsDate ( "not a date" ))"));
    EXPECT_EQ(501, error(R"(GetAsTime ( "noon" ))"));
    // a time alone may give only its hour; after a date the minutes are needed
    EXPECT_EQ("15:00:00", value(R"(GetAsTime ( "3 PM" ))"));
    EXPECT_EQ("0", value(R"(Minute ( "12" ))"));
    EXPECT_EQ(501, error(R"(GetAsTime ( "12x" ))"));
    EXPECT_NE(0, error(R"(GetAsTimestamp ( "1/1/2019 12" ))"));
    EXPECT_EQ("0", value(R"(GetAsBoolean ( "abc" ))"));
    EXPECT_EQ("1", value(R"(GetAsBoolean ( "a1" ))"));
    EXPECT_EQ("0", value(R"(GetAsBoolean ( "" ))"));
    EXPECT_EQ("1", value(R"(GetAsBoolean ( "?" ))"));  // the result of an expression that failed
    EXPECT_EQ("0", value(R"(GetAsBoolean ( "??" ))"));
    EXPECT_EQ("1", value("GetAsBoolean ( -0.5 )"));
}

TEST_F(CalcFunctionTest, RoundingGoesHalfAwayFromZeroAndTruncationTowardIt)
{
    EXPECT_EQ("-3", value("Round ( -2.5 ; 0 )"));
    EXPECT_EQ("3", value("Round ( 2.5 ; 0 )"));
    EXPECT_EQ("2.68", value("Round ( 2.675 ; 2 )"));              // decimal, so no binary surprise
    EXPECT_EQ("1300", value("Round ( 1250 ; -2 )"));
    EXPECT_EQ("0", value("Round ( 0.000001 ; 3 )"));
    EXPECT_EQ("0", value("Round ( 123 ; -500 )"));
    EXPECT_EQ("-2.7", value("Truncate ( -2.79 ; 1 )"));
    EXPECT_EQ("1200", value("Truncate ( 1299 ; -2 )"));
    EXPECT_EQ("-2", value("Int ( -2.7 )"));
    EXPECT_EQ("-2", value("Ceiling ( -2.5 )"));
    EXPECT_EQ("-3", value("Floor ( -2.5 )"));
    EXPECT_EQ("3", value("Ceiling ( 2.1 )"));
}

TEST_F(CalcFunctionTest, ModAndDivFollowTheFloorOfTheQuotient)
{
    EXPECT_EQ("2", value("Mod ( -7 ; 3 )"));
    EXPECT_EQ("-3", value("Div ( -7 ; 3 )"));
    EXPECT_EQ("-2", value("Mod ( 7 ; -3 )"));
    EXPECT_EQ("1.5", value("Mod ( -2.5 ; 2 )"));
    EXPECT_EQ("0.1", value("Mod ( 1.1 ; 0.5 )"));
    EXPECT_EQ(1218, error("Mod ( 1 ; 0 )"));
    EXPECT_EQ(1218, error("Div ( 1 ; 0 )"));
}

TEST_F(CalcFunctionTest, OtherNumberFunctions)
{
    EXPECT_EQ("1", value("Min ( 3 ; 1 ; 2 )"));
    EXPECT_EQ("3", value("Max ( 3 ; 1 ; 2 )"));
    EXPECT_EQ(FMHost::Type::Date, type("Max ( Date ( 1 ; 1 ; 2026 ) ; Date ( 1 ; 2 ; 2026 ) )"));
    // empty arguments are left out; all-text arguments compare as text, mixed ones as numbers
    EXPECT_EQ("5", value("Min ( \"\" ; 5 )"));
    EXPECT_EQ("-3", value("Max ( -3 ; \"\" )"));
    EXPECT_EQ("", value("Max ( \"\" ; \"\" )"));
    EXPECT_EQ("9", value("Max ( \"10\" ; \"9\" )"));
    EXPECT_EQ("b", value("Min ( \"C\" ; \"b\" )"));
    EXPECT_EQ("10", value("Max ( \"10\" ; 9 )"));
    EXPECT_EQ("-1", value("Sign ( -4 )"));
    EXPECT_EQ("0", value("Sign ( 0 )"));
    EXPECT_EQ("3", value("Abs ( -3 )"));
    EXPECT_EQ("3", value("Sqrt ( 9 )"));
    EXPECT_EQ("3", value("Log ( 1000 )"));
    EXPECT_EQ("1", value("Ln ( Exp ( 1 ) )"));
    EXPECT_EQ(1218, error("Sqrt ( -1 )"));
    EXPECT_EQ(1218, error("Ln ( 0 )"));
    EXPECT_EQ(1218, error("Exp ( 100000 )"));
    EXPECT_EQ("1", value("Let ( r = Random ; r >= 0 and r < 1 )"));
}

TEST_F(CalcFunctionTest, SetPrecisionHoldsOnlyWhileItsExpressionIsEvaluated)
{
    EXPECT_EQ("0.33333333333333333333", value("SetPrecision ( 1 / 3 ; 20 )"));
    EXPECT_EQ("0.3333333333333333", value("1 / 3"));
    // a failed expression leaves the default behind it too
    EXPECT_EQ(1218, error("SetPrecision ( 1 / 0 ; 20 )"));
    EXPECT_EQ("0.3333333333333333", value("1 / 3"));
    // an Evaluate inside takes the precision, the inner SetPrecision wins for its own expression
    EXPECT_EQ("0.33333333333333333333", value(R"(SetPrecision ( Evaluate ( "1 / 3" ) ; 20 ))"));
    EXPECT_EQ("0.3333333333333333333333333", value("SetPrecision ( SetPrecision ( 1 / 3 ; 25 ) ; 18 )"));
    // a stored quotient keeps its digits, a later division of it goes back to 16
    value("Let ( $$third = SetPrecision ( 1 / 3 ; 20 ) ; 0 )");
    EXPECT_EQ("0.99999999999999999999", value("$$third * 3"));
    EXPECT_EQ("3.1415926535897932", value("Pi"));
    EXPECT_EQ("3.1415926535897932384626", value("SetPrecision ( Pi ; 22 )"));
}

TEST_F(CalcFunctionTest, SetRecursionLimitsOnlyItsOwnExpression)
{
    const std::string loop = "While ( i = 0 ; i < 60000 ; i = i + 1 ; i )";
    EXPECT_EQ("60000", value("SetRecursion ( " + loop + " ; 60000 )"));
    EXPECT_EQ(1200, error(loop));  // the default is back afterwards
    EXPECT_EQ(1200, error("SetRecursion ( " + loop + " ; 10 )"));
    EXPECT_EQ(1200, error(loop));
    // the limit reaches the calculations Evaluate runs inside it
    EXPECT_EQ(1200, error("SetRecursion ( Evaluate ( \"While ( i = 0 ; i < 3 ; i = i + 1 ; i )\" ) ; 2 )"));
    EXPECT_EQ("1", value("SetRecursion ( While ( i = 0 ; i < 1 ; i = i + 1 ; i ) ; -5 )")); // at least 1
}

TEST_F(CalcFunctionTest, RemovingOneTraitKeepsTheOthers)
{
    const std::string styled = R"(TextSize ( TextColor ( TextStyleAdd ( "ab" ; Bold ) ; RGB ( 255 ; 0 ; 0 ) ) ; 12 ))";
    EXPECT_EQ(R"(<SPAN STYLE= "font-size: 12px; font-weight: bold;" >ab</SPAN>)",
              value("GetAsCSS ( TextColorRemove ( " + styled + " ) )"));
    EXPECT_EQ(R"(<SPAN STYLE= "color: #FF0000; font-weight: bold;" >ab</SPAN>)",
              value("GetAsCSS ( TextSizeRemove ( " + styled + " ; 12 ) )"));
    // a size the text does not have removes nothing
    EXPECT_EQ(value("GetAsCSS ( " + styled + " )"), value("GetAsCSS ( TextSizeRemove ( " + styled + " ; 14 ) )"));
    EXPECT_EQ(R"(<SPAN STYLE= "font-size: 12px; color: #FF0000;" >ab</SPAN>)",
              value("GetAsCSS ( TextStyleRemove ( " + styled + " ; Bold ) )"));
}

TEST_F(CalcFunctionTest, CountingFunctionsStayExactAndRefuseWhatCannotEnd)
{
    EXPECT_EQ("8683317618811886495518194401280000000", value("Factorial ( 33 )"));
    // the product of three factors of a large number, not a loop down to 1
    EXPECT_EQ("999999999999999997000000000000000002000000000000000000", value("Factorial ( 10^18 ; 3 )"));
    EXPECT_EQ(1218, error("Factorial ( 501 )"));
    EXPECT_EQ(1218, error("Factorial ( 5 ; -1 )"));
    EXPECT_EQ("1", value("Factorial ( 5 ; 0 )"));
    EXPECT_EQ("499999999999999500000000000000", value("Combination ( 10^15 ; 2 )"));
    EXPECT_EQ("0", value("Combination ( 3 ; 4 )"));
    EXPECT_EQ("1", value("Combination ( 10^15 ; 10^15 )")); // the shorter side of the choice is counted
    EXPECT_EQ(1218, error("Combination ( -3 ; 1 )"));
}

TEST_F(CalcFunctionTest, AggregatesAndSpreadsLeaveEmptyArgumentsOut)
{
    EXPECT_EQ("6", value(R"(Sum ( 1 ; "" ; 2 ; 3 ))"));
    EXPECT_EQ("2", value(R"(Average ( 1 ; "" ; 3 ))"));
    EXPECT_EQ("", value(R"(Average ( "" ; "" ))"));
    EXPECT_EQ("", value(R"(StDev ( "" ))"));
    EXPECT_EQ("0", value("StDev ( 7 )"));
    EXPECT_EQ("2", value(R"(StDevP ( 2 ; 4 ; "" ; 4 ; 4 ; 5 ; 5 ; 7 ; 9 ))"));
    EXPECT_EQ(1218, error("Sum ( 1 ; 1 / 0 )"));
    EXPECT_EQ(1201, error("Sum ( )"));
}

TEST_F(CalcFunctionTest, FinancialFunctionsWithoutInterestAndOutOfRange)
{
    EXPECT_EQ("1200", value("FV ( 100 ; 0 ; 12 )"));
    EXPECT_EQ("100", value("PMT ( 1200 ; 0 ; 12 )"));
    EXPECT_EQ(1218, error("PMT ( 1200 ; 0 ; 0 )"));
    EXPECT_EQ(1218, error("FV ( 1 ; 10^300 ; 10^300 )"));
    // non-numbers among the payments are skipped, but still take their period
    EXPECT_EQ(value("NPV ( List ( 100 ; 0 ; 100 ) ; .1 )"), value("NPV ( \"100¶x¶100\" ; .1 )"));
}

TEST_F(CalcFunctionTest, UrlEncodingWritesEveryByteOfUtf8)
{
    EXPECT_EQ("%f0%9f%98%80%e2%82%ac", value("GetAsURLEncoded ( \"😀€\" )"));
    EXPECT_EQ("%0d%0a%09", value("GetAsURLEncoded ( ¶ & Char ( 10 ) & Char ( 9 ) )"));
    EXPECT_EQ("", value("GetAsURLEncoded ( \"\" )"));
}

TEST_F(CalcFunctionTest, JsonMakeArraySplitsAtTheWholeSeparatorAndKeepsEmptyValues)
{
    EXPECT_EQ(R"(["a","","b",""])", value(R"(JSONMakeArray ( "a,,b," ; "," ; JSONString ))"));
    EXPECT_EQ(R"(["a","b"])", value(R"(JSONMakeArray ( "a::b" ; "::" ; JSONString ))"));
    // a raw null among blanks is null, not the text around it; a blank raw value stays the text
    EXPECT_EQ(R"([null,"\r",1])", value(R"(JSONMakeArray ( " null |¶|1" ; "|" ; JSONRaw ))"));
    EXPECT_EQ(R"({"a":null})", value(R"(JSONSetElement ( "{}" ; "a" ; " null " ; JSONRaw ))"));
    EXPECT_EQ(R"(? the type 9 is not a JSON type)", value(R"(JSONMakeArray ( "1" ; "," ; 9 ))"));
}

TEST_F(CalcFunctionTest, WeekOfYearFiscalForEveryStartingDay)
{
    // 1 January 2009 was a Thursday: its week belongs to 2009 when four of its days lie in January (weeks
    // starting Monday to Thursday), else it is the last week of 2008.
    const char *expected[] = {"53", "1", "1", "1", "1", "52", "53"};
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(expected[day - 1], value("WeekOfYearFiscal ( Date ( 1 ; 1 ; 2009 ) ; " + std::to_string(day) + " )"))
            << day;
    // other starting days count on round the week
    EXPECT_EQ(value("WeekOfYearFiscal ( Date ( 1 ; 7 ; 2008 ) ; 1 )"), value("WeekOfYearFiscal ( Date ( 1 ; 7 ; 2008 ) ; 8 )"));
    EXPECT_EQ(value("WeekOfYearFiscal ( Date ( 1 ; 7 ; 2008 ) ; 7 )"), value("WeekOfYearFiscal ( Date ( 1 ; 7 ; 2008 ) ; 0 )"));
    EXPECT_EQ("52", value("WeekOfYearFiscal ( Date ( 12 ; 31 ; 9999 ) ; 2 )"));
}

TEST_F(CalcFunctionTest, DatePartsAndWeeks)
{
    EXPECT_EQ("8|12|2026", value(R"(Let ( d = Date ( 12 ; 8 ; 2026 ) ; Day ( d ) & "|" & Month ( d ) & "|" & Year ( d ) ))"));
    EXPECT_EQ("3", value("DayOfWeek ( Date ( 12 ; 8 ; 2026 ) )"));    // a Tuesday
    EXPECT_EQ("1", value("DayOfWeek ( Date ( 1 ; 1 ; 1 ) - 1 )"));    // before day 1 the week goes on
    EXPECT_EQ("342", value("DayOfYear ( Date ( 12 ; 8 ; 2026 ) )"));
    EXPECT_EQ("366", value("DayOfYear ( Date ( 12 ; 31 ; 2024 ) )"));
    EXPECT_EQ("Tuesday December", value(R"(DayName ( "12/8/2026" ) & " " & MonthName ( "12/8/2026" ))"));
    EXPECT_EQ("", value(R"(Day ( "" ))"));
    EXPECT_EQ(500, error(R"(Day ( "abc" ))"));
    // 1 January 2022 was a Saturday: week 1 is that one day, Sunday 2 January starts week 2.
    EXPECT_EQ("1", value("WeekOfYear ( Date ( 1 ; 1 ; 2022 ) )"));
    EXPECT_EQ("2", value("WeekOfYear ( Date ( 1 ; 2 ; 2022 ) )"));
    EXPECT_EQ("53", value("WeekOfYear ( Date ( 12 ; 31 ; 2022 ) )"));
    EXPECT_EQ("1", value("WeekOfYear ( Date ( 1 ; 7 ; 2023 ) )"));    // a Sunday 1 January: 7 days in week 1
    EXPECT_EQ("2", value("WeekOfYear ( Date ( 1 ; 8 ; 2023 ) )"));
}

TEST_F(CalcFunctionTest, DateArithmeticCarriesOver)
{
    EXPECT_EQ("3/1/2024", value("Date ( 2 ; 29 ; 2024 ) + 1"));
    EXPECT_EQ("3/1/2023", value("Date ( 2 ; 29 ; 2023 )"));
    EXPECT_EQ("12/31/2025", value("Date ( 1 ; 0 ; 2026 )"));
    EXPECT_EQ("2/28/2026", value("Date ( 3 ; 1 ; 2026 ) - 1"));
    EXPECT_EQ("366", value("Date ( 1 ; 1 ; 2025 ) - Date ( 1 ; 1 ; 2024 )"));
}

TEST_F(CalcFunctionTest, TimePartsCountTheWholeDuration)
{
    EXPECT_EQ("25|10|5.5", value(R"(Let ( t = Time ( 25 ; 10 ; 5.5 ) ; Hour ( t ) & "|" & Minute ( t ) & "|" & Seconds ( t ) ))"));
    EXPECT_EQ("13", value("Hour ( Timestamp ( Date ( 1 ; 1 ; 2026 ) ; Time ( 13 ; 0 ; 0 ) ) )"));
    EXPECT_EQ("45", value(R"(Minute ( "1:45 PM" ))"));
    EXPECT_EQ(501, error(R"(Hour ( "later" ))"));
}
TEST_F(CalcFunctionTest, JsonSetElementBuildsPathsAndSortsKeys)
{
    EXPECT_EQ(R"({"b":{"c":1}})", value(R"(JSONSetElement ( "" ; "b.c" ; 1 ; JSONNumber ))"));
    EXPECT_EQ(R"({"a":"x","z":1})", value(R"(JSONSetElement ( "{\"z\":1}" ; "a" ; "x" ; JSONString ))"));
    EXPECT_EQ(R"([null,null,"x"])", value(R"(JSONSetElement ( "" ; "[2]" ; "x" ; JSONString ))"));
    EXPECT_EQ("[1,2]", value(R"(JSONSetElement ( "[1]" ; "[+]" ; 2 ; JSONNumber ))"));
    EXPECT_EQ("[1,5]", value(R"(JSONSetElement ( "[1,2]" ; "[:]" ; 5 ; JSONNumber ))"));
    EXPECT_EQ(R"({"a":[{"b":true}]})", value(R"(JSONSetElement ( "" ; "a[0].b" ; 1 ; JSONBoolean ))"));
    EXPECT_EQ(R"({"a":0.5,"b":false,"c":[1,2],"d":null,"e":"{"})",
              value(R"(JSONSetElement ( "{}" ; [ "a" ; 1/2 ; JSONNumber ] ; [ "b" ; "false" ; JSONBoolean ] ;
                        [ "c" ; "[1, 2]" ; JSONRaw ] ; [ "d" ; "x" ; JSONNull ] ; [ "e" ; "{" ; JSONRaw ] ))"));
    EXPECT_EQ(R"({"a":"\"\\"})", value(R"(JSONSetElement ( "{}" ; "a" ; "\"\\" ; JSONString ))"));
    EXPECT_EQ(R"({"a":{}})", value(R"(JSONSetElement ( "{}" ; "a" ; "" ; JSONObject ))"));
    EXPECT_EQ(1201, error(R"(JSONSetElement ( "{}" ; "a" ; 1 ))"));
    EXPECT_EQ(1201, error(R"(JSONSetElement ( "{}" ; [ "a" ; 1 ] ))"));
}

TEST_F(CalcFunctionTest, JsonErrorsAreTextsStartingWithAQuestionMark)
{
    // Data in the way is not replaced: that would lose it.
    EXPECT_EQ('?', value(R"(JSONSetElement ( "{\"a\":1}" ; "a.b" ; 2 ; JSONNumber ))").at(0));
    EXPECT_EQ('?', value(R"(JSONSetElement ( "[1]" ; "a" ; 2 ; JSONNumber ))").at(0));
    EXPECT_EQ('?', value(R"(JSONSetElement ( "{" ; "a" ; 2 ; JSONNumber ))").at(0));
    EXPECT_EQ('?', value(R"(JSONSetElement ( "{}" ; "a" ; "abc" ; JSONNumber ))").at(0));
    EXPECT_EQ('?', value(R"(JSONSetElement ( "{}" ; "a" ; "[1]" ; JSONObject ))").at(0));
    EXPECT_EQ('?', value(R"(JSONSetElement ( "{}" ; "a" ; 1 ; 9 ))").at(0));
    EXPECT_EQ('?', value(R"(JSONGetElement ( "{\"a\":1}" ; "[x]" ))").at(0));
    EXPECT_EQ('?', value(R"(JSONGetElement ( "nope" ; "a" ))").at(0));
    EXPECT_EQ('?', value(R"(JSONFormatElements ( "[1," ))").at(0));
    EXPECT_EQ('?', value(R"(JSONGetElement ( "[1e999]" ; "[0]" ))").at(0));
}

TEST_F(CalcFunctionTest, HostileJsonNestingEndsInAQuestionMarkNotACrash)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ('?', value("JSONFormatElements ( \"" + deep + "\" )").at(0));
    EXPECT_EQ('?', value("JSONSetElement ( \"{}\" ; \"a\" ; \"" + deep + "\" ; JSONArray )").at(0));
    std::string longPath = "a";
    for (int i = 0; i < 100000; ++i)
        longPath += ".a";
    EXPECT_EQ('?', value("JSONSetElement ( \"{}\" ; \"" + longPath + "\" ; 1 ; JSONNumber )").at(0));
    const std::string fine = std::string(500, '[') + std::string(500, ']');
    EXPECT_EQ(fine, value("JSONGetElement ( \"" + fine + "\" ; \"\" )"));
}

TEST_F(CalcFunctionTest, JsonGetElementAnswersTypedValues)
{
    const std::string doc = R"("{\"a\":{\"b\":[10,20.5,\"x\",true,null,{\"c\":1}]}}")";
    EXPECT_EQ("20.5", value("JSONGetElement ( " + doc + " ; \"a.b[1]\" )"));
    EXPECT_EQ(FMHost::Type::Number, type("JSONGetElement ( " + doc + " ; \"a.b[1]\" )"));
    EXPECT_EQ("x", value("JSONGetElement ( " + doc + " ; \"a.b[2]\" )"));
    EXPECT_EQ("1", value("JSONGetElement ( " + doc + " ; \"a.b[3]\" )"));
    EXPECT_EQ("", value("JSONGetElement ( " + doc + " ; \"a.b[4]\" )"));
    EXPECT_EQ(R"({"c":1})", value("JSONGetElement ( " + doc + " ; \"a.b[:]\" )"));
    EXPECT_EQ("1", value("JSONGetElement ( " + doc + " ; \"a.b[5].c\" )"));
    EXPECT_EQ("", value("JSONGetElement ( " + doc + " ; \"a.b[9]\" )"));
    EXPECT_EQ("", value("JSONGetElement ( " + doc + " ; \"nope.deeper\" )"));
    // Numbers in plain decimal, never with an exponent.
    EXPECT_EQ("0.00000000000000000001", value(R"(JSONGetElement ( "[1e-20]" ; "[0]" ))"));
    EXPECT_EQ("100000000000000000000", value(R"(JSONGetElement ( "[1e20]" ; "[0]" ))"));
    EXPECT_EQ("12345678901234567890", value(R"(JSONGetElement ( "[12345678901234567890]" ; "[0]" ))"));
}

TEST_F(CalcFunctionTest, JsonDeleteAndList)
{
    EXPECT_EQ(R"({"a":1,"b":[1,3]})", value(R"(JSONDeleteElement ( "{\"b\":[1,2,3],\"a\":1}" ; "b[1]" ))"));
    EXPECT_EQ(R"({"a":1})", value(R"(JSONDeleteElement ( "{\"a\":1}" ; "x.y" ))"));
    EXPECT_EQ("a\rb", value(R"(JSONListKeys ( "{\"b\":1,\"a\":2}" ; "" ))"));
    EXPECT_EQ("0\r1\r2", value(R"(JSONListKeys ( "{\"l\":[5,6,7]}" ; "l" ))"));
    EXPECT_EQ("2\rx", value(R"(JSONListValues ( "{\"b\":\"x\",\"a\":2}" ; "" ))"));
    EXPECT_EQ("", value(R"(JSONListKeys ( "{\"a\":1}" ; "a" ))"));
}

TEST_F(CalcFunctionTest, JsonFormatElementsIndentsWithTabs)
{
    EXPECT_EQ("{\r\t\"a\" : \r\t{\r\t\t\"b\" : 1,\r\t\t\"c\" : [ 1, 2 ]\r\t},\r\t\"d\" : \r\t[\r\t\t{\r\t\t\t\"e\" : 1\r\t\t},"
              "\r\t\t2\r\t],\r\t\"f\" : {}\r}",
              value(R"(JSONFormatElements ( "{\"a\":{\"c\":[1,2],\"b\":1},\"d\":[{\"e\":1},2],\"f\":{}}" ))"));
    EXPECT_EQ("[ 1, \"x\" ]", value(R"(JSONFormatElements ( "[1,\"x\"]" ))"));
    EXPECT_EQ("", value(R"(JSONFormatElements ( "" ))"));
}

TEST_F(CalcFunctionTest, JsonTypeConstantsAndCaseInsensitiveNames)
{
    EXPECT_EQ("0123456", value("JSONRaw & JSONString & JSONNumber & JSONObject & JSONArray & JSONBoolean & JSONNull"));
    EXPECT_EQ("1", value(R"(jsongetelement ( "{\"a\":1}" ; "a" ))"));
}

TEST_F(CalcFunctionTest, GetSelectorsOfTheHost)
{
    EXPECT_EQ("Admin", value("Get ( AccountName )"));
    EXPECT_FALSE(value("Get ( UserName )").empty());
    EXPECT_EQ("5", value("get ( SYSTEMPLATFORM )"));
    EXPECT_EQ(FMHost::Type::Time, type("Get ( CurrentTime )"));
    EXPECT_EQ(FMHost::Type::Timestamp, type("Get ( CurrentTimestamp )"));
    EXPECT_EQ(std::string::npos, value("Get ( CurrentTime )").find('.'));  // whole seconds
    EXPECT_EQ("1", value("Get ( CurrentDate ) = GetAsDate ( Get ( CurrentTimestamp ) )"));
    EXPECT_EQ("", value("Get ( InstalledFMPlugins )"));                    // nothing registered here
    const std::string architecture = value("Get ( ApplicationArchitecture )");
    EXPECT_TRUE(architecture == "x86_64" || architecture == "arm64") << architecture;
    const std::string version = value("Get ( SystemVersion )");
    EXPECT_FALSE(version.empty());
    EXPECT_EQ("{\"APIVers\":2,\"environment\":{\"architecture\":\"" + architecture + "\",\"platform\":5,\"version\":\"" +
                  version + "\"},\"plugins\":null}",
              value("Get ( InstalledFMPluginsAsJSON )"));
}
} // namespace
