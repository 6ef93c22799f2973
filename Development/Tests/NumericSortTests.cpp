#include <gtest/gtest.h>

#include <string>

#include "sql/SortNumberInFMText.h"

namespace
{
std::string sorted(const std::string &list)
{
    return vtl::SortedNumberList(list);
}
}

TEST(NumericSort, OrdersNumericallyAndEndsEveryNumberWithACarriageReturn)
{
    EXPECT_EQ("9\r10\r100\r", sorted("10\r9\r100"));
    EXPECT_EQ("-2.5\r-1\r0\r", sorted("-1\r0\r-2.5"));
    EXPECT_EQ("1\r1\r2\r", sorted("2\r1\r1"));
}

TEST(NumericSort, WritesSixSignificantDigitsLikePercentG)
{
    EXPECT_EQ("1.23457e+06\r", sorted("1234567"));
    EXPECT_EQ("1e-05\r0.5\r100\r100000\r1e+06\r", sorted("1000000\r100000\r100\r0.5\r0.00001"));
    EXPECT_EQ("0.0001\r3.14159\r", sorted("3.14159265\r0.0001"));
}

TEST(NumericSort, PiecesWithoutANumberContributeNothing)
{
    EXPECT_EQ("", sorted(""));
    EXPECT_EQ("9\r10\r", sorted("10\r9\r"));           // no phantom number after a final carriage return
    EXPECT_EQ("2\r3\r", sorted("apples\r3\r\r2\r-"));   // words, empty pieces, a lone sign
    EXPECT_EQ("5\r", sorted("nan\rinf\rinformation\r5")); // words the C library would read as numbers
    EXPECT_EQ("", sorted("\r\r"));
    EXPECT_EQ("", sorted(".\re5"));
}

TEST(NumericSort, TakesTheLeadingNumberOfAPiece)
{
    EXPECT_EQ("1\r12\r", sorted("12 kg\r1,5"));
    EXPECT_EQ("-0.5\r0.5\r5\r7\r", sorted("  7\r.5\r-.5\r+5"));
    EXPECT_EQ("0\r1\r", sorted("1\n2\r0"));           // a line feed does not separate paragraphs
    EXPECT_EQ("1\r1\r1000\r", sorted("1e3\r1e\r1e+"));  // an exponent without digits is not part of the number
    EXPECT_EQ("5\r", sorted("5."));
}

TEST(NumericSort, NumbersBeyondDoubleRangeBecomeInfinityOrZero)
{
    EXPECT_EQ("-inf\r0\r1\rinf\r", sorted("1e999\r1\r-1e999\r1e-999"));
}
