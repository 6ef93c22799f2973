// Conversions between host values and the plug-in's strings, typed copies, keyword look-up, clock, evaluation.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>

#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXFixPt.h"
#include "host/FMUtils.h"
#include "host/TextConversion.h"
#include "iOS_SupportFunctions/HostClock.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "iOS_SupportFunctions/WideText.h"
#include "support/PluginTestSupport.h"

namespace
{
fmx::TextUniquePtr Utf8Text(const std::string &utf8)
{
    fmx::TextUniquePtr text;
    text->AssignWithLength(utf8.data(), static_cast<fmx::uint32>(utf8.size()), fmx::Text::kEncoding_UTF8);
    return text;
}

fmx::TextUniquePtr Utf16Text(const std::u16string &units)
{
    fmx::TextUniquePtr text;
    text->AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16 *>(units.data()),
                                  static_cast<fmx::uint32>(units.size()));
    return text;
}

class HostHelpers : public ::testing::Test
{
protected:
    void TearDown() override { FMHost::Faults::ClearAll(); }

    fmx::DataUniquePtr Value(const std::string &calculation)
    {
        fmx::DataUniquePtr value;
        fmx::TextUniquePtr text = Utf8Text(calculation);
        EXPECT_EQ(0, session.Evaluate(*text, *value)) << calculation;
        return value;
    }

    FMHost::Session session;
};
}

TEST_F(HostHelpers, FindFMTextInArrayIsWholeTextIgnoringCase)
{
    const char *const entries[] = {"lastError", "LASTERROR", "time"};
    EXPECT_EQ(0u, fmlib::FindFMTextInArray(*Utf8Text("LastError"), entries, 3));
    EXPECT_EQ(2u, fmlib::FindFMTextInArray(*Utf8Text("TiMe"), entries, 3));
    EXPECT_EQ(fmlib::kNotFound, fmlib::FindFMTextInArray(*Utf8Text("lastError "), entries, 3));
    EXPECT_EQ(fmlib::kNotFound, fmlib::FindFMTextInArray(*Utf8Text("last"), entries, 3));
    EXPECT_EQ(fmlib::kNotFound, fmlib::FindFMTextInArray(*Utf8Text(""), entries, 3));
    EXPECT_EQ(fmlib::kNotFound, fmlib::FindFMTextInArray(*Utf8Text("lastError"), entries, 0));
    EXPECT_EQ(0xFFFFFFFFu, fmlib::kNotFound);
}

TEST_F(HostHelpers, ErrorCodeBecomesASignedNumber)
{
    fmx::DataUniquePtr result;
    fmlib::FMErrCode2FMData(-1, *result);
    EXPECT_EQ(FMHost::Type::Number, FMHost::TypeOf(*result));
    EXPECT_EQ("-1", FMHost::TextOf(*result));
    fmlib::FMErrCode2FMData(24012, *result);
    EXPECT_EQ("24012", FMHost::TextOf(*result));
}

TEST_F(HostHelpers, FMData2FMDataCopiesEachTypeAsItself)
{
    struct cCase
    {
        const char *calculation;
        FMHost::Type expected;
    } cases[] = {
        {"\"abc¶def\"", FMHost::Type::Text},
        {"12.50", FMHost::Type::Number},
        {"Date ( 12 ; 31 ; 2026 )", FMHost::Type::Date},
        {"Time ( 13 ; 5 ; 9 )", FMHost::Type::Time},
        {"Timestamp ( Date ( 1 ; 2 ; 2026 ) ; Time ( 3 ; 4 ; 5 ) )", FMHost::Type::Timestamp},
    };
    for (const cCase &c : cases)
    {
        fmx::DataUniquePtr source = Value(c.calculation);
        fmx::DataUniquePtr target;
        fmlib::FMData2FMData(*source, *target);
        EXPECT_EQ(c.expected, FMHost::TypeOf(*target)) << c.calculation;
        EXPECT_EQ(FMHost::TextOf(*source), FMHost::TextOf(*target)) << c.calculation;
    }
}

TEST_F(HostHelpers, FMData2FMDataBooleanArrivesAsNumberAndInvalidChangesNothing)
{
    fmx::DataUniquePtr boolean;
    fmx::FixPtUniquePtr one(1);
    boolean->SetAsNumber(*one, fmx::Data::kDTBoolean);
    ASSERT_EQ(FMHost::Type::Boolean, FMHost::TypeOf(*boolean));
    fmx::DataUniquePtr target;
    fmlib::FMData2FMData(*boolean, *target);
    EXPECT_EQ(FMHost::Type::Number, FMHost::TypeOf(*target));
    EXPECT_EQ("1", FMHost::TextOf(*target));

    fmx::DataUniquePtr invalid;
    fmx::DataUniquePtr kept = Value("\"keep me\"");
    fmlib::FMData2FMData(*invalid, *kept);
    EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*kept));
    EXPECT_EQ("keep me", FMHost::TextOf(*kept));
}

TEST_F(HostHelpers, FMData2FMDataCopiesContainers)
{
    char bytes[] = {1, 2, 3, 0, 5};
    fmx::TextUniquePtr name = Utf8Text("FILE");
    fmx::BinaryDataUniquePtr binary(*name, sizeof bytes, bytes);
    fmx::DataUniquePtr source;
    source->SetBinaryData(*binary, true);
    fmx::DataUniquePtr target;
    fmlib::FMData2FMData(*source, *target);
    EXPECT_EQ(FMHost::Type::Container, FMHost::TypeOf(*target));
    const fmx::BinaryData &copied = target->GetBinaryData();
    ASSERT_EQ(binary->GetCount(), copied.GetCount());
    for (fmx::int32 i = 0; i < copied.GetCount(); ++i)
        EXPECT_EQ(binary->GetSize(i), copied.GetSize(i)) << i;
}

TEST_F(HostHelpers, ClockCountsFromTheHostEpoch)
{
    EXPECT_DOUBLE_EQ(62135596800.0, fmlib::HostSecondsFromClock(0, 0, 0, 0));
    EXPECT_DOUBLE_EQ(62135596800.0 - 3600.0, fmlib::HostSecondsFromClock(0, 0, 60, 0));
    EXPECT_DOUBLE_EQ(62135596800.0 + 3600.0 + 10.5, fmlib::HostSecondsFromClock(10, 500000, 0, 1));

    fmx::DateTimeUniquePtr now;
    const std::time_t before = std::time(nullptr);
    fmlib::SetDateTimeToNow(*now);
    fmx::FixPtUniquePtr seconds;
    now->GetSecondsSinceEpoch(*seconds);
    EXPECT_NEAR(static_cast<double>(before) + 62135596800.0, seconds->AsFloat(), 2.0) << "UTC on this server";
}

TEST_F(HostHelpers, WideStringsHoldOneCharacterPerUnit)
{
    EXPECT_EQ(L"", fmlib::WStringFromFMText(*Utf8Text("")));
    const std::wstring wide = fmlib::WStringFromFMText(*Utf8Text("a😀é"));
    ASSERT_EQ(4u, wide.size());
    EXPECT_EQ(L'a', wide[0]);
    EXPECT_EQ(0xD83D, wide[1]);
    EXPECT_EQ(0xDE00, wide[2]);
    EXPECT_EQ(0xE9, wide[3]);
    EXPECT_EQ(L"ab", fmlib::WStringFromFMText(*Utf16Text(std::u16string(u"ab\0cd", 5))));
}

TEST_F(HostHelpers, TextUnitsEndAtTheFirstZeroUnitWhereverItLies)
{
    // The text is copied in pieces of 16,384 units and searched in blocks of 32 and 8: zeros at and around
    // those edges, and none at all.
    const size_t length = 50000;
    std::u16string units(length, u'x');
    for (size_t k = 0; k < length; ++k)
        units[k] = char16_t(0x20 + k % 0xFF00);  // every non-zero unit value, surrogates included
    EXPECT_EQ(units, std::u16string(fmlib::cTextUnits(*Utf16Text(units)).View()));
    for (size_t zero : {size_t(0), size_t(1), size_t(7), size_t(8), size_t(31), size_t(32), size_t(33), size_t(16383),
                        size_t(16384), size_t(16400), size_t(49999)}) {
        std::u16string withZero = units;
        withZero[zero] = 0;
        withZero[std::min(zero + 5, length - 1)] = 0;  // only the first one counts
        const fmlib::cTextUnits read(*Utf16Text(withZero));
        EXPECT_EQ(units.substr(0, zero), std::u16string(read.View())) << "zero at " << zero;
    }
    EXPECT_TRUE(fmlib::cTextUnits(*Utf8Text("")).View().empty());
}

TEST_F(HostHelpers, Utf8FormsAreWhole)
{
    EXPECT_EQ("a\xC3\xA9", StringFromFmText(*Utf8Text("aé")));
    EXPECT_EQ("", StringFromFmText(*Utf8Text("")));
    const std::string wide = "€€€€€€€€€€ 😀😀 ∑∑∑";
    EXPECT_EQ(wide, StringFromFmText(*Utf8Text(wide))) << "three- and four-byte characters are not cut";
    EXPECT_EQ(wide, StringFromFmText(Utf8Text(wide)));
    fmx::TextUniquePtr released = Utf8Text("x");
    delete released.release();
    EXPECT_EQ("", StringFromFmText(released)) << "an empty owner";

    fmx::TextUniquePtr withZero = Utf16Text(std::u16string(u"ab\0cd", 5));
    EXPECT_EQ("ab", StringFromFmText(*withZero));
    EXPECT_EQ("abcd", cFMUtils::StringFromFmxText(*withZero, true));
    const std::vector<char> chars = cFMUtils::CharsFromFMText(*Utf8Text("xé"));
    EXPECT_EQ((std::vector<char>{'x', '\xC3', '\xA9', '\0'}), chars);
}

TEST_F(HostHelpers, EvaluateCalculationGivesTextOrQuestionMark)
{
    EXPECT_EQ("x1", cFMUtils::evaluateCalculation("\"x\" & 1", session.Env()));
    EXPECT_EQ("?", cFMUtils::evaluateCalculation("1 + ", session.Env()));
    EXPECT_EQ("?", cFMUtils::evaluateCalculation("NoSuchFunction ( 1 )", session.Env()));
    FMHost::Faults::FailEvaluation("\"fine\"", 1200);
    EXPECT_EQ("?", cFMUtils::evaluateCalculation("\"fine\"", session.Env()));
}

TEST_F(HostHelpers, SmallTextPredicates)
{
    EXPECT_EQ("abc-z \xC3\x89", toLower("ABC-z \xC3\x89"));
    EXPECT_TRUE(isEmpty(*Utf8Text("")));
    EXPECT_FALSE(isEmpty(*Utf8Text(" ")));
    EXPECT_TRUE(isSpace(*Utf8Text(" ")));
    EXPECT_FALSE(isSpace(*Utf8Text("  ")));
    EXPECT_FALSE(isSpace(*Utf8Text("")));
    EXPECT_FALSE(isSpace(*Utf8Text("\t")));
}

TEST_F(HostHelpers, TextResultsKeepTheResultsLocaleAndAreText)
{
    fmx::DataUniquePtr result = Value("12");
    fmlib::SetTextResult(*result, "ä ok", fmx::Text::kEncoding_UTF8);
    EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*result));
    EXPECT_EQ("ä ok", FMHost::TextOf(*result));
}
