#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

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

TEST(NumericSort, WritesTheShortestPlainDecimalThatReadsBackTheSame)
{
    // Short numbers come out as they always did.
    EXPECT_EQ("0.5\r19.99\r100\r100000\r", sorted("100000\r100\r19.99\r0.5"));
    // Longer ones are no longer rounded to six digits, and nothing is written with an exponent, which FileMaker
    // would read as another number (1e-05 as 105).
    EXPECT_EQ("5\r1234567\r1234568\r", sorted("1234567\r1234568\r5"));
    EXPECT_EQ("0.00001\r123456.78\r1000000\r1000000.5\r", sorted("1000000.5\r1e6\r123456.78\r1e-05"));
    EXPECT_EQ("0.30000000000000004\r3.14159265\r", sorted("3.14159265\r0.30000000000000004"));
    EXPECT_EQ("-0.000000000000000000001\r100000000000000000000000\r", sorted("1e23\r-1e-21"));
}

TEST(NumericSort, EveryDoubleSurvivesTheRoundTrip)
{
    std::mt19937_64 random(20261208);
    std::vector<double> numbers = {std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                                   std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
                                   -std::numeric_limits<double>::denorm_min(), 0.1, 1.0 / 3, 9007199254740993.0};
    for (int i = 0; i < 2000; ++i)
    {
        double number;
        do
        {
            const std::uint64_t bits = random();
            std::memcpy(&number, &bits, sizeof number);
        } while (!std::isfinite(number));
        numbers.push_back(number);
    }
    std::string list;
    for (double number : numbers)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g\r", number);
        list += text;
    }
    const std::string out = sorted(list);
    EXPECT_EQ(out.find_first_of("eE"), std::string::npos);
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(vtl::NumbersFromLines(out.substr(0, out.size() - 1)), numbers); // exact, bit for bit
    EXPECT_EQ(sorted(out), out);
}

TEST(NumericSort, PiecesWithoutANumberContributeNothing)
{
    EXPECT_EQ("", sorted(""));
    EXPECT_EQ("9\r10\r", sorted("10\r9\r"));           // no phantom number after a final carriage return
    EXPECT_EQ("2\r3\r", sorted("apples\r3\r\r2\r-"));   // words, empty pieces, a lone sign
    EXPECT_EQ("5\r", sorted("nan\r-NaN\rnan(0x1)\rin\r5")); // NaN has no place in a sorted list
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

TEST(NumericSort, ReadsWhatPercentLfReads)
{
    EXPECT_EQ("-inf\r0\r1\rinf\r", sorted("1e999\r1\r-1e999\r1e-999")); // beyond double range
    EXPECT_EQ("-16\r3\r16\r255\r", sorted("0x10\r-0X10\r0x1.8p1\r+0xff kg"));
    EXPECT_EQ("-inf\r2\rinf\rinf\rinf\r", sorted("inf\r2\r-Infinity\rINF\rinformation"));
    EXPECT_EQ("0\r", sorted("0x"));
    EXPECT_EQ("-inf\r-1\rinf\r", sorted(sorted("inf\r-1\r-inf"))); // infinity is written as it is read
}

TEST(NumericSort, AListThatWouldGrowPastTheLimitIsRefusedNotWritten)
{
    // 1e308 is written in 309 digits: 3 MB of such lines would give 155 million characters.
    std::string list;
    for (int i = 0; i < 500000; ++i)
        list += "1e308\r";
    try
    {
        sorted(list);
        FAIL() << "no error";
    }
    catch (const std::length_error &e)
    {
        EXPECT_STREQ("Sort gave up: the sorted list would be longer than 134217728 characters", e.what());
    }
    // Just under the limit still sorts.
    list.resize(6 * 400000);
    EXPECT_EQ(400000u * 310, sorted(list).size());
}
