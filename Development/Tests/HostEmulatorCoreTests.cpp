// Unit tests of the host emulator's core, driven through the SDK's own wrappers and the FMHost interface.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "FMHost/CInterface.h"
#include "FMHost/Host.h"
#include "core/ElfSoname.h"

#include <elf.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iterator>

using namespace fmx;

namespace {

TextUniquePtr MakeText(const std::string &utf8)
{
    TextUniquePtr t;
    t->Assign(utf8.c_str(), Text::kEncoding_UTF8);
    return t;
}

std::string Utf8(const Text &t) { return FMHost::TextOf(t); }

std::u16string Units(const Text &t)
{
    std::u16string u(t.GetSize(), u'\0');
    t.GetUnicode(reinterpret_cast<uint16 *>(u.data()), 0, t.GetSize());
    return u;
}

CharacterStyleUniquePtr FaceStyle(CharacterStyle::Face face)
{
    CharacterStyleUniquePtr s;
    s->EnableFace(face);
    return s;
}

CharacterStyleUniquePtr ColorStyle(uchar r, uchar g, uchar b)
{
    CharacterStyleUniquePtr s;
    ColorUniquePtr c(r, g, b);
    s->SetColor(*c);
    return s;
}

CharacterStyleUniquePtr StyleAt(const Text &t, uint32 position)
{
    CharacterStyleUniquePtr s;
    t.GetStyle(*s, position);
    return s;
}

bool IsBold(const Text &t, uint32 position) { return StyleAt(t, position)->IsFaceEnabled(CharacterStyle::kFace_Bold); }

bool IsRed(const Text &t, uint32 position)
{
    auto s = StyleAt(t, position);
    return s->IsColorEnabled() && s->GetColor().GetRed() == 255 && s->GetColor().GetGreen() == 0;
}

std::string TextForm(const FixPt &n)
{
    DataUniquePtr d;
    d->SetAsNumber(n);
    return FMHost::TextOf(*d);
}

std::string Bytes(const Text &t, Text::Encoding encoding, uint32 position = 0, uint32 size = Text::kSize_End)
{
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    t.GetBytes(buffer, sizeof buffer, position, size, encoding);
    return buffer;
}

DataUniquePtr TextData(const std::string &utf8, Data::DataType type = Data::kDTText, errcode *error = nullptr)
{
    DataUniquePtr d;
    LocaleUniquePtr locale;
    const errcode e = d->SetAsText(*MakeText(utf8), *locale, type);
    if (error)
        *error = e;
    return d;
}

DateTimeUniquePtr Date(int16 month, int16 day, int16 year)
{
    DateTimeUniquePtr dt;
    EXPECT_EQ(0, dt->SetNormalizedDate(month, day, year));
    return dt;
}

std::string DateText(const DateTime &dt, Data::DataType as)
{
    DataUniquePtr d;
    d->SetDateTime(dt, as, as);
    return FMHost::TextOf(*d);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Text styles travel with the ranges they belong to.

TEST(HostEmulatorText, StylesTravelWithAppendedInsertedAndSetRanges)
{
    auto bold = MakeText("Hello");
    bold->SetStyle(*FaceStyle(CharacterStyle::kFace_Bold));
    auto colored = MakeText("World");
    colored->SetStyle(*ColorStyle(255, 0, 0), 0, 2);

    auto t = MakeText("");
    t->AppendText(*bold, 1, 3);  // "ell", bold
    t->AppendText(*colored);     // "ellWorld": W and o red
    ASSERT_EQ("ellWorld", Utf8(*t));
    for (uint32 i = 0; i < 3; ++i)
        EXPECT_TRUE(IsBold(*t, i)) << i;
    EXPECT_TRUE(IsRed(*t, 3));
    EXPECT_TRUE(IsRed(*t, 4));
    EXPECT_TRUE(StyleAt(*t, 5)->IsAllDisabled());

    t->InsertText(*colored, 0);  // "WorldellWorld"
    EXPECT_TRUE(IsRed(*t, 0));
    EXPECT_TRUE(StyleAt(*t, 2)->IsAllDisabled());
    EXPECT_TRUE(IsBold(*t, 5));

    t->DeleteText(0, 5);  // styles shift with the characters
    EXPECT_TRUE(IsBold(*t, 0));
    EXPECT_TRUE(IsRed(*t, 3));

    t->SetText(*colored, 1, 2);  // "or": o red, r plain
    EXPECT_EQ("or", Utf8(*t));
    EXPECT_TRUE(IsRed(*t, 0));
    EXPECT_TRUE(StyleAt(*t, 1)->IsAllDisabled());

    // Self-append copies the styled range before it grows.
    t->AppendText(*t);
    EXPECT_EQ("oror", Utf8(*t));
    EXPECT_TRUE(IsRed(*t, 2));
    EXPECT_FALSE(IsRed(*t, 3));
}

TEST(HostEmulatorText, AssignResetAndRemoveClearStyles)
{
    auto t = MakeText("abc");
    auto both = FaceStyle(CharacterStyle::kFace_Bold | CharacterStyle::kFace_Italic);
    t->SetStyle(*both);
    t->RemoveStyle(*FaceStyle(CharacterStyle::kFace_Bold));
    EXPECT_FALSE(IsBold(*t, 1));
    EXPECT_TRUE(StyleAt(*t, 1)->IsFaceEnabled(CharacterStyle::kFace_Italic));

    // A colour is removed only when it matches exactly.
    t->SetStyle(*ColorStyle(255, 0, 0));
    t->RemoveStyle(*ColorStyle(254, 0, 0));
    EXPECT_TRUE(IsRed(*t, 0));

    t->ResetAllStyleBuffers();
    EXPECT_TRUE(StyleAt(*t, 0)->IsAllDisabled());

    t->SetStyle(*ColorStyle(255, 0, 0));
    t->Assign("xyz");
    EXPECT_TRUE(StyleAt(*t, 0)->IsAllDisabled());
    EXPECT_TRUE(StyleAt(*t, 99)->IsAllDisabled());  // beyond the end: the default style
}

TEST(HostEmulatorText, CharacterStylesCompareTheirEnabledTraits)
{
    CharacterStyleUniquePtr a(3, CharacterStyle::kFace_Bold, 12, *ColorUniquePtr(1, 2, 3));
    CharacterStyleUniquePtr b(*a);
    EXPECT_TRUE(*a == *b);
    b->SetSize(14);
    EXPECT_TRUE(*a != *b);
    b->DisableSize();
    a->DisableSize();
    EXPECT_TRUE(*a == *b);  // a disabled trait's value plays no part
    EXPECT_EQ(CharacterStyle::kFace_Bold, a->GetFace());
    EXPECT_EQ(0x0101, a->GetColor().GetRedUpsample());
    EXPECT_EQ(255, CharacterStyle::Color::White().GetBlue());
}

TEST(HostEmulatorText, ParagraphAlignmentTravelsWithCopiedParagraphs)
{
    auto t = MakeText("one\rtwo\rthree");
    FMHost::SetAlignment(*t, FMHost::Alignment::Center, 5, 1);  // inside "two": the whole paragraph
    EXPECT_EQ(FMHost::Alignment::Default, FMHost::AlignmentAt(*t, 0));
    EXPECT_EQ(FMHost::Alignment::Center, FMHost::AlignmentAt(*t, 4));
    EXPECT_EQ(FMHost::Alignment::Center, FMHost::AlignmentAt(*t, 7));
    EXPECT_EQ(FMHost::Alignment::Default, FMHost::AlignmentAt(*t, 8));

    auto copy = MakeText("x\r");
    copy->AppendText(*t, 4, 4);  // "two\r"
    EXPECT_EQ(FMHost::Alignment::Center, FMHost::AlignmentAt(*copy, 3));
    // Character styles set later leave the alignment alone.
    t->SetStyle(*FaceStyle(CharacterStyle::kFace_Bold));
    EXPECT_EQ(FMHost::Alignment::Center, FMHost::AlignmentAt(*t, 5));
}

TEST(HostEmulatorText, FindCaseAndComparison)
{
    auto t = MakeText("Abc abc ÄBC");
    EXPECT_EQ(4u, t->Find(*MakeText("abc"), 1));
    EXPECT_EQ(uint32(Text::kSize_Invalid), t->Find(*MakeText("abc"), 5));
    EXPECT_EQ(8u, t->FindIgnoringCase(*MakeText("äbc"), 5));
    EXPECT_EQ(4u, t->FindPrev(*MakeText("abc"), 7));
    EXPECT_EQ(0u, t->FindPrevIgnoringCase(*MakeText("ABC"), 3));
    EXPECT_EQ(uint32(Text::kSize_Invalid), t->Find(*MakeText("abc"), 1000));

    t->Lowercase();
    EXPECT_EQ("abc abc äbc", Utf8(*t));
    t->Uppercase();
    EXPECT_EQ("ABC ABC ÄBC", Utf8(*t));

    // Comparison looks at the raw units and ignores styles.
    auto styled = MakeText("ABC ABC ÄBC");
    styled->SetStyle(*FaceStyle(CharacterStyle::kFace_Bold));
    EXPECT_TRUE(*t == *styled);
    EXPECT_TRUE(*MakeText("B") > *MakeText("A"));
    EXPECT_TRUE(*MakeText("Z") < *MakeText("a"));
}

// ---------------------------------------------------------------------------------------------------------------
// Encodings: UTF-8 (0 and 1), Mac Roman (4), wide and UTF-16 input.

TEST(HostEmulatorEncoding, Utf8InBothNativeAndExplicitForms)
{
    const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
    const std::u16string expected = {u'a', 0xE9, 0x20AC, 0xD83D, 0xDE00};
    for (Text::Encoding e : {Text::kEncoding_Native, Text::kEncoding_UTF8})
    {
        TextUniquePtr t;
        t->Assign(s.c_str(), e);
        EXPECT_EQ(expected, Units(*t));
        EXPECT_EQ(s, Bytes(*t, e));
    }
}

TEST(HostEmulatorEncoding, MalformedUtf8BecomesReplacementCharacters)
{
    TextUniquePtr t;
    t->Assign("\xC3(x\xC0\xAF\xED\xA0\x80");  // truncated, overlong, encoded surrogate
    const std::u16string u = Units(*t);
    ASSERT_GE(u.size(), 4u);
    EXPECT_EQ(0xFFFD, u[0]);
    EXPECT_EQ(u'(', u[1]);
    EXPECT_EQ(u'x', u[2]);
    for (size_t i = 3; i < u.size(); ++i)
        EXPECT_EQ(0xFFFD, u[i]);
}

TEST(HostEmulatorEncoding, MacRomanRoundTripsAndMarksMissingCharacters)
{
    TextUniquePtr t;
    t->Assign("\x8E\xDB\xA5", Text::kEncoding_ASCII_Mac);  // é € •
    EXPECT_EQ((std::u16string{0xE9, 0x20AC, 0x2022}), Units(*t));
    EXPECT_EQ("\x8E\xDB\xA5", Bytes(*t, Text::kEncoding_ASCII_Mac));

    auto other = MakeText("\xE2\x82\xAC\xF0\x9F\x98\x80z");  // € 😀 z: the emoji has no Mac Roman form
    EXPECT_EQ("\xDB?z", Bytes(*other, Text::kEncoding_ASCII_Mac));
}

TEST(HostEmulatorEncoding, UnsupportedEncodingIsAnErrorAndKeepsTheText)
{
    auto t = MakeText("keep");
    EXPECT_THROW(t->Assign("x", Text::kEncoding_ShiftJIS_Win), std::exception);
    EXPECT_EQ("keep", Utf8(*t));
    EXPECT_THROW(t->AssignWithLength(nullptr, 3), std::exception);
}

TEST(HostEmulatorEncoding, WideAndUtf16Assignments)
{
    TextUniquePtr t;
    t->AssignWide(L"a\u00E9\U0001F600");
    EXPECT_EQ((std::u16string{u'a', 0xE9, 0xD83D, 0xDE00}), Units(*t));

    const uint16 units[] = {u'x', 0, u'y'};
    t->AssignUnicodeWithLength(units, 3);  // an embedded zero is kept
    EXPECT_EQ(3u, t->GetSize());
    t->AssignUnicode(units);
    EXPECT_EQ(1u, t->GetSize());
    t->AssignWideWithLength(L"\xD83D", 1);  // a lone surrogate unit stays one unit
    EXPECT_EQ(std::u16string(1, char16_t(0xD83D)), Units(*t));
}

// ---------------------------------------------------------------------------------------------------------------
// GetBytes / GetBytesEx.

TEST(HostEmulatorGetBytes, TerminatesAndNeverSplitsACharacter)
{
    auto t = MakeText("a\xC3\xA9\xE2\x82\xAC");  // 1 + 2 + 3 bytes
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    t->GetBytes(buf, 4);  // room for 3 bytes and the terminator
    EXPECT_STREQ("a\xC3\xA9", buf);
    std::memset(buf, 'x', sizeof buf);
    t->GetBytes(buf, 3);  // é does not fit beside 'a' and the terminator
    EXPECT_STREQ("a", buf);
    std::memset(buf, 'x', sizeof buf);
    t->GetBytes(buf, 1);
    EXPECT_EQ('\0', buf[0]);
    t->GetBytes(buf, 0);  // nothing written at all
    EXPECT_EQ('\0', buf[0]);
}

TEST(HostEmulatorGetBytes, PositionsCountUtf16Units)
{
    auto t = MakeText("a\xF0\x9F\x98\x80" "b");  // a 😀 b: four units
    ASSERT_EQ(4u, t->GetSize());
    EXPECT_EQ("\xF0\x9F\x98\x80", Bytes(*t, Text::kEncoding_UTF8, 1, 2));
    EXPECT_EQ("b", Bytes(*t, Text::kEncoding_UTF8, 3));
    EXPECT_EQ("", Bytes(*t, Text::kEncoding_UTF8, 10, 2));
    // A range that cuts the surrogate pair gets the replacement character for its half.
    EXPECT_EQ("a\xEF\xBF\xBD", Bytes(*t, Text::kEncoding_UTF8, 0, 2));
}

TEST(HostEmulatorGetBytes, ExReportsTheCountWithoutTerminator)
{
    auto t = MakeText("a\xC3\xA9\xE2\x82\xAC");
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(6u, t->GetBytesEx(buf, sizeof buf));
    EXPECT_EQ(0, std::memcmp(buf, "a\xC3\xA9\xE2\x82\xAC", 6));
    EXPECT_EQ('x', buf[6]);
    EXPECT_EQ(3u, t->GetBytesEx(buf, 5));  // "aé": the euro sign needs 3 more bytes
    EXPECT_EQ(6u, t->GetBytesEx(nullptr, 0));  // a null buffer asks for the size
    EXPECT_EQ(5u, t->GetBytesEx(nullptr, 0, 1, 2));
    EXPECT_EQ(2u, t->GetBytesEx(buf, sizeof buf, 1, 2, Text::kEncoding_ASCII_Mac));
    EXPECT_EQ(0, std::memcmp(buf, "\x8E\xDB", 2));
}

TEST(HostEmulatorGetBytes, GetUnicodeCopiesOnlyTheExistingRange)
{
    auto t = MakeText("abc");
    uint16 buf[5] = {9, 9, 9, 9, 9};
    t->GetUnicode(buf, 1, 10);
    EXPECT_EQ(u'b', buf[0]);
    EXPECT_EQ(u'c', buf[1]);
    EXPECT_EQ(9, buf[2]);  // no terminator
}

// ---------------------------------------------------------------------------------------------------------------
// Numbers and their text form.

TEST(HostEmulatorNumber, TextFormHasNoTrailingZerosAndNoExponent)
{
    FixPtUniquePtr n;
    n->AssignInt(-4);
    EXPECT_EQ("-4", TextForm(*n));
    n->AssignDouble(0.1);
    EXPECT_EQ("0.1", TextForm(*n));
    n->AssignDouble(1234.5678);
    EXPECT_EQ("1234.5678", TextForm(*n));
    n->AssignDouble(-0.5);
    EXPECT_EQ("-0.5", TextForm(*n));
    n->AssignInt64(1000000000000000L);
    EXPECT_EQ("1000000000000000", TextForm(*n));
    n->AssignDouble(1e20);
    EXPECT_EQ("100000000000000000000", TextForm(*n));
    n->AssignDouble(1e-20);  // below the 16 fractional digits
    EXPECT_EQ("0", TextForm(*n));
    EXPECT_EQ("2.5", FMHost::TextOf(*TextData("2.50", Data::kDTNumber)));
}

TEST(HostEmulatorNumber, DecimalArithmeticIsExact)
{
    FixPtUniquePtr a, b, r;
    a->AssignDouble(0.1);
    b->AssignDouble(0.2);
    a->Add(*b, *r);
    EXPECT_EQ("0.3", TextForm(*r));
    FixPtUniquePtr three;
    three->AssignDouble(0.3);
    EXPECT_TRUE(*r == *three);

    FixPtUniquePtr one(1), div(3);
    ASSERT_EQ(0, one->Divide(*div, *r));
    EXPECT_EQ("0.3333333333333333", TextForm(*r));
    FixPtUniquePtr two(2);
    two->Divide(*div, *r);
    EXPECT_EQ("0.6666666666666667", TextForm(*r));

    a->AssignInt64(12345678901234567L);
    b->AssignInt(1000);
    a->Multiply(*b, *r);
    EXPECT_EQ("12345678901234567000", TextForm(*r));
    a->Subtract(*b, *r);
    EXPECT_EQ("12345678901233567", TextForm(*r));
}

TEST(HostEmulatorNumber, DivisionByZeroFailsAndLeavesTheResult)
{
    FixPtUniquePtr one(1), zero(0), r(7);
    EXPECT_NE(0, one->Divide(*zero, *r));
    EXPECT_EQ(7, r->AsLong());
}

TEST(HostEmulatorNumber, ConversionsTruncateAndSaturate)
{
    FixPtUniquePtr n;
    n->AssignDouble(-2.7);
    EXPECT_EQ(-2, n->AsLong());
    EXPECT_DOUBLE_EQ(-2.7, n->AsFloat());
    EXPECT_TRUE(n->AsBool());
    n->AssignDouble(1e30);
    EXPECT_EQ(2147483647, n->AsLong());
    EXPECT_EQ(9223372036854775807L, n->AsLong64());
    n->AssignInt64(-9223372036854775807L - 1);
    EXPECT_EQ(-9223372036854775807L - 1, n->AsLong64());
    n->Increment64(10);
    n->Decrement(10);
    EXPECT_EQ(-9223372036854775807L - 1, n->AsLong64());
    EXPECT_EQ(16, n->GetPrecision());
    FixPtUniquePtr p(5, 3);
    EXPECT_EQ(3, p->GetPrecision());
    FixPtUniquePtr one(1), three(3);
    one->Divide(*three, *p);  // the result keeps its own precision
    EXPECT_EQ("0.333", TextForm(*p));
}

TEST(HostEmulatorNumber, TextReadsAsFileMakerDoes)
{
    auto n = TextData("abc12x3.5y.7", Data::kDTNumber);
    EXPECT_EQ("123.57", FMHost::TextOf(*n));
    EXPECT_EQ("-5", FMHost::TextOf(*TextData("x-5", Data::kDTNumber)));
    EXPECT_EQ(FMHost::Type::Number, FMHost::TypeOf(*TextData("x", Data::kDTNumber)));
    EXPECT_TRUE(TextData("x", Data::kDTNumber)->IsEmpty());
    EXPECT_EQ(123, TextData("a1b2c3")->GetAsNumber().AsLong());  // a text read as a number
}

// ---------------------------------------------------------------------------------------------------------------
// Dates, times and timestamps.

TEST(HostEmulatorDateTime, UsTextForms)
{
    auto dt = Date(12, 31, 2026);
    EXPECT_EQ("12/31/2026", DateText(*dt, Data::kDTDate));
    ASSERT_EQ(0, dt->SetNormalizedTime(13, 5, 9));
    EXPECT_EQ("12/31/2026 1:05:09 PM", DateText(*dt, Data::kDTTimeStamp));
    EXPECT_EQ("12/31/2026", DateText(*dt, Data::kDTDate));  // a timestamp stored as a date keeps its date

    DateTimeUniquePtr t;
    t->SetNormalizedTime(13, 5, 9, 500000);
    EXPECT_EQ("13:05:09.5", DateText(*t, Data::kDTTime));
    t->SetNormalizedTime(30, 0, 0);  // durations may pass a day
    EXPECT_EQ("30:00:00", DateText(*t, Data::kDTTime));

    auto midnight = Date(1, 5, 2026);
    EXPECT_EQ("1/5/2026 12:00:00 AM", DateText(*midnight, Data::kDTTimeStamp));
    midnight->SetNormalizedTime(12, 0, 0);
    EXPECT_EQ("1/5/2026 12:00:00 PM", DateText(*midnight, Data::kDTTimeStamp));
}

TEST(HostEmulatorDateTime, NormalisedDatesAndLimits)
{
    EXPECT_EQ("1/1/2027", DateText(*Date(13, 1, 2026), Data::kDTDate));
    EXPECT_EQ("3/1/2025", DateText(*Date(2, 29, 2025), Data::kDTDate));
    EXPECT_EQ("2/29/2024", DateText(*Date(3, 0, 2024), Data::kDTDate));
    DateTimeUniquePtr dt;
    EXPECT_NE(0, dt->SetNormalizedDate(1, 1, 10000));
    FixPtUniquePtr y(2024), m(2), d(30);
    EXPECT_EQ(0, dt->SetNormalizedDate(*y, *m, *d));  // year first in this overload
    EXPECT_EQ(3, dt->GetMonth());
    EXPECT_EQ(1, dt->GetDay());
    EXPECT_TRUE(dt->IsLeapYear());
    EXPECT_EQ(61, dt->DayOfYear());
    EXPECT_EQ(5, Date(12, 31, 2026)->DayOfWeek());  // a Thursday; 1 is Sunday
    EXPECT_EQ(1, Date(1, 3, 2026)->WeekOfYear());
    EXPECT_EQ(2, Date(1, 4, 2026)->WeekOfYear());
}

TEST(HostEmulatorDateTime, EpochAndNumbers)
{
    DateTimeUniquePtr dt;
    FixPtUniquePtr secs;
    secs->AssignInt64(62135596800L);  // the Unix epoch
    dt->SetSecondsSinceEpoch(*secs);
    EXPECT_EQ("1/1/1970 12:00:00 AM", DateText(*dt, Data::kDTTimeStamp));

    secs->AssignDouble(62135596800.25);
    dt->SetSecondsSinceEpoch(*secs);
    FixPtUniquePtr back;
    dt->GetSecondsSinceEpoch(*back);
    EXPECT_EQ("62135596800.25", TextForm(*back));
    EXPECT_EQ(250000, dt->GetUSec());

    // Day 1 is 0001-01-01; a timestamp counts seconds from its midnight.
    auto first = Date(1, 1, 1);
    EXPECT_EQ(1, first->GetDaysSinceEpoch());
    DataUniquePtr d;
    d->SetAsDate(*first);
    EXPECT_EQ("1/1/0001", FMHost::TextOf(*d));
    EXPECT_EQ(1, d->GetAsNumber().AsLong());
    d->SetAsTimeStamp(*first);
    EXPECT_EQ(0, d->GetAsNumber().AsLong());
}

TEST(HostEmulatorDateTime, ParsingTextForms)
{
    errcode e = 0;
    EXPECT_EQ("2/29/2024", FMHost::TextOf(*TextData("2/29/2024", Data::kDTDate, &e)));
    EXPECT_EQ(0, e);
    EXPECT_EQ("12/31/2026", FMHost::TextOf(*TextData(" 2026-12-31 ", Data::kDTDate)));
    EXPECT_EQ("13:05:00", FMHost::TextOf(*TextData("1:05 PM", Data::kDTTime)));
    EXPECT_EQ("0:30:00", FMHost::TextOf(*TextData("12:30 am", Data::kDTTime)));
    EXPECT_EQ("12/31/2026 1:05:09 PM", FMHost::TextOf(*TextData("12/31/2026 13:05:09", Data::kDTTimeStamp)));
    EXPECT_EQ("12/31/2026 12:00:00 AM", FMHost::TextOf(*TextData("12/31/2026", Data::kDTTimeStamp)));

    // A text that is not a date fails and leaves the value as it was.
    auto d = TextData("keep");
    LocaleUniquePtr locale;
    for (const char *bad : {"2/30/2024", "13/1/2024", "1/1/10000", "tomorrow", "1/1"})
        EXPECT_EQ(500, d->SetAsText(*MakeText(bad), *locale, Data::kDTDate)) << bad;
    EXPECT_EQ(501, d->SetAsText(*MakeText("25:61"), *locale, Data::kDTTime));
    EXPECT_EQ(500, d->SetAsText(*MakeText("12/31/2026 24:00:00"), *locale, Data::kDTTimeStamp));
    EXPECT_EQ("keep", FMHost::TextOf(*d));
    EXPECT_EQ(FMHost::Type::Text, FMHost::TypeOf(*d));

    DateTimeUniquePtr parsed(*MakeText("7/4/1976 9:15:00 AM"), *locale);
    EXPECT_EQ(1976, parsed->GetYear());
    EXPECT_EQ(9, parsed->GetHour());
    EXPECT_EQ(15, parsed->GetMinute());
}

// ---------------------------------------------------------------------------------------------------------------
// Typed values and their conversions.

TEST(HostEmulatorData, EmptinessAndTypes)
{
    DataUniquePtr d;
    EXPECT_TRUE(d->IsEmpty());
    EXPECT_FALSE(d->IsValid());
    EXPECT_EQ(Data::kDTInvalid, d->GetNativeType());
    EXPECT_EQ("", FMHost::TextOf(*d));
    EXPECT_TRUE(TextData("")->IsEmpty());
    d->SetAsNumber(*FixPtUniquePtr(0));
    EXPECT_FALSE(d->IsEmpty());
    d->Clear(Data::kDTNumber);
    EXPECT_TRUE(d->IsEmpty());
    EXPECT_EQ(Data::kDTNumber, d->GetNativeType());
}

TEST(HostEmulatorData, BooleansNumbersAndTexts)
{
    DataUniquePtr b;
    b->SetAsNumber(*FixPtUniquePtr(1), Data::kDTBoolean);
    EXPECT_EQ(Data::kDTBoolean, b->GetNativeType());
    EXPECT_TRUE(b->GetAsBoolean());
    EXPECT_EQ("1", FMHost::TextOf(*b));

    EXPECT_FALSE(TextData("0")->GetAsBoolean());
    EXPECT_FALSE(TextData("abc")->GetAsBoolean());
    EXPECT_TRUE(TextData("x2")->GetAsBoolean());

    auto n = TextData("42");
    n->ConvertData(Data::kDTNumber);
    EXPECT_EQ(Data::kDTNumber, n->GetNativeType());
    EXPECT_EQ(42, n->GetAsNumber().AsLong());
    n->ConvertData(Data::kDTText);
    EXPECT_EQ("42", FMHost::TextOf(*n));
    auto noDigits = TextData("abc");
    noDigits->ConvertData(Data::kDTNumber);
    EXPECT_TRUE(noDigits->IsEmpty());

    // A number stored as text takes its text form.
    DataUniquePtr t;
    FixPtUniquePtr half;
    half->AssignDouble(0.5);
    t->SetAsNumber(*half, Data::kDTText);
    EXPECT_EQ(Data::kDTText, t->GetNativeType());
    EXPECT_EQ("0.5", FMHost::TextOf(*t));
}

TEST(HostEmulatorData, DateTimeViewsOfOtherTypes)
{
    auto ts = Date(12, 31, 2026);
    ts->SetNormalizedTime(13, 5, 9);
    DataUniquePtr d;
    d->SetAsTimeStamp(*ts);
    EXPECT_EQ("12/31/2026", DateText(d->GetAsDate(), Data::kDTDate));
    EXPECT_EQ("13:05:09", DateText(d->GetAsTime(), Data::kDTTime));

    DataUniquePtr date;
    date->SetAsDate(*ts);  // the time of day is dropped
    EXPECT_EQ("12/31/2026 12:00:00 AM", DateText(date->GetAsTimeStamp(), Data::kDTTimeStamp));

    DataUniquePtr n;
    FixPtUniquePtr secs;
    secs->AssignDouble(86400.5);
    n->SetAsNumber(*secs);
    EXPECT_EQ("24:00:00.5", DateText(n->GetAsTime(), Data::kDTTime));

    secs->AssignDouble(1e30);  // far beyond the calendar: a view, not an overflow
    n->SetAsNumber(*secs);
    EXPECT_GT(n->GetAsDate().GetDaysSinceEpoch(), 3000000);
    EXPECT_GT(n->GetAsTimeStamp().GetDaysSinceEpoch(), 3000000);

    auto text = TextData("12/31/2026 1:05:09 PM");
    EXPECT_EQ("13:05:09", DateText(text->GetAsTime(), Data::kDTTime));
    EXPECT_EQ(ts->GetDaysSinceEpoch(), text->GetAsDate().GetDaysSinceEpoch());
}

TEST(HostEmulatorData, ContainersKeepTheirStreams)
{
    char bytes[] = "\x89PNG-data";
    BinaryDataUniquePtr bin(*MakeText("photo.png"), sizeof bytes, bytes);
    bin->AddSIZEData(640, 480);
    DataUniquePtr d;
    d->SetBinaryData(*bin);
    EXPECT_EQ(Data::kDTBinary, d->GetNativeType());
    EXPECT_EQ("photo.png", FMHost::TextOf(*d));

    const BinaryData &stored = d->GetBinaryData();
    EXPECT_EQ(3, stored.GetCount());
    const int32 file = stored.GetIndex(*QuadCharUniquePtr('F', 'I', 'L', 'E'));
    ASSERT_GE(file, 0);
    char back[sizeof bytes];
    EXPECT_EQ(0, stored.GetData(file, 0, sizeof bytes, back));
    EXPECT_EQ(0, std::memcmp(bytes, back, sizeof bytes));
    EXPECT_NE(0, stored.GetData(file, 4, sizeof bytes, back));  // beyond the stream
    EXPECT_NE(0, stored.GetData(99, 0, 1, back));
    short w = 0, h = 0;
    EXPECT_EQ(0, stored.GetSIZEData(w, h));
    EXPECT_EQ(640, w);
    EXPECT_EQ(480, h);
    EXPECT_NE(0, bin->Add(*QuadCharUniquePtr('F', 'I', 'L', 'E'), 1, bytes));  // one stream per type

    BinaryDataUniquePtr pieces;
    uint32 context = 0;
    ASSERT_EQ(0, pieces->AddBegin(*QuadCharUniquePtr('Z', 'L', 'I', 'B'), &context));
    pieces->AddAppend(context, 3, bytes);
    pieces->AddAppend(context, 2, bytes + 3);
    ASSERT_EQ(0, pieces->AddFinish(context));
    EXPECT_EQ(5u, pieces->GetTotalSize());
    EXPECT_TRUE(TextData("x")->GetBinaryData().GetCount() == 0);
}

TEST(HostEmulatorData, VectorsCopyValuesAndCheckPositions)
{
    DataVectUniquePtr v;
    auto d = TextData("first");
    v->PushBack(*d);
    d->SetAsNumber(*FixPtUniquePtr(2));
    v->PushBack(*d);
    EXPECT_EQ(2u, v->Size());
    EXPECT_EQ("first", Utf8(v->AtAsText(0)));  // pushed values are copies
    EXPECT_EQ(2, v->AtAsNumber(1).AsLong());
    EXPECT_THROW(v->At(2), std::exception);
    std::unique_ptr<Data> popped(v->PopBack());
    EXPECT_EQ(2, popped->GetAsNumber().AsLong());
    EXPECT_EQ(1u, v->Size());

    RowVectUniquePtr rows;
    EXPECT_TRUE(rows->IsEmpty());
    EXPECT_THROW(rows->At(0), std::exception);
}

// ---------------------------------------------------------------------------------------------------------------
// Registration and calls.

namespace {

std::atomic<int> gCalls{0};

errcode Echo(short functionId, const ExprEnv &env, const DataVect &args, Data &result)
{
    ++gCalls;
    DataUniquePtr file;
    env.EvaluateGetFunction(ExprEnv::kGet_FileName, *file);
    const std::string text = std::to_string(functionId) + ":" + std::to_string(args.Size()) + ":" +
        FMHost::TextOf(*file);
    LocaleUniquePtr locale;
    result.SetAsText(*MakeText(text), *locale);
    return 0;
}

errcode Throws(short, const ExprEnv &, const DataVect &, Data &) { throw std::runtime_error("plug-in fault"); }

class HostEmulatorRegistry : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (short id : {1, 2, 3, 7, 8})
            ExprEnv::UnRegisterExternalFunction(*pluginId, id);
        FMHost::Faults::ClearAll();
    }

    errcode Register(short id, const char *name, short minArgs, short maxArgs, ExtPluginType fn = Echo)
    {
        return ExprEnv::RegisterExternalFunction(*pluginId, id, *MakeText(name), *MakeText(std::string(name) + "( x )"),
                                                 minArgs, maxArgs, ExprEnv::kMayEvaluateOnServer, fn);
    }

    static DataVectUniquePtr Args(int n)
    {
        DataVectUniquePtr v;
        for (int i = 0; i < n; ++i)
            v->PushBack(*TextData(std::to_string(i)));
        return v;
    }

    QuadCharUniquePtr pluginId{'T', 'E', 'S', 'T'};
    FMHost::Session session;
};

} // namespace

TEST_F(HostEmulatorRegistry, HostChecksArgumentCountsBeforeCalling)
{
    ASSERT_EQ(0, Register(1, "Test_Echo", 1, 2));
    session.OpenFile("Invoices");
    DataUniquePtr result;
    const int before = gCalls;
    EXPECT_EQ(1201, session.Call("Test_Echo", *Args(0), *result));
    EXPECT_EQ(1202, session.Call("Test_Echo", *Args(3), *result));
    EXPECT_EQ(before, gCalls.load());  // the function was not called
    EXPECT_TRUE(result->IsEmpty());

    ASSERT_EQ(0, session.Call("test_ECHO", *Args(2), *result));  // names are case-blind
    EXPECT_EQ("1:2:Invoices", FMHost::TextOf(*result));
    EXPECT_EQ(1224, session.Call("Test_Missing", *Args(1), *result));
}

TEST_F(HostEmulatorRegistry, RegistrationsAreListedAndUnique)
{
    ASSERT_EQ(0, Register(1, "Test_Echo", 0, -1));
    EXPECT_NE(0, Register(1, "Test_Other", 0, 1));  // same id
    EXPECT_NE(0, Register(2, "TEST_echo", 0, 1));   // same name
    EXPECT_NE(0, Register(3, "Test_Bad", 2, 1));    // maximum below minimum
    EXPECT_NE(0, Register(3, "Test_Null", 0, 1, nullptr));

    const auto all = FMHost::Registrations();
    int found = 0;
    for (const auto &f : all)
        if (f.pluginId == "TEST")
        {
            ++found;
            EXPECT_EQ("Test_Echo", f.name);
            EXPECT_EQ("Test_Echo( x )", f.prototype);
            EXPECT_EQ("Test Echo|", f.description);
            EXPECT_EQ(-1, f.maxArgs);
        }
    EXPECT_EQ(1, found);

    DataUniquePtr result;
    EXPECT_EQ(0, session.Call("Test_Echo", *Args(20), *result));  // no upper bound

    auto handle = FMHost::Function::Find("Test_Echo");
    ASSERT_TRUE(handle);
    EXPECT_EQ(0, ExprEnv::UnRegisterExternalFunction(*pluginId, 1));
    EXPECT_NE(0, ExprEnv::UnRegisterExternalFunction(*pluginId, 1));
    EXPECT_FALSE(FMHost::Function::Find("Test_Echo"));
    EXPECT_EQ(0, session.Call(handle, *Args(1), *result));  // a handle keeps its registration
    EXPECT_EQ(0, Register(1, "Test_Echo", 0, 1));           // and the id is free again
}

TEST_F(HostEmulatorRegistry, PluginExceptionsStayInTheHost)
{
    ASSERT_EQ(0, Register(2, "Test_Throws", 0, 0, Throws));
    DataUniquePtr result;
    EXPECT_NE(0, session.Call("Test_Throws", *Args(0), *result));
}

// The C interface that a program which only dlopens the plug-in reaches the registry through.
TEST_F(HostEmulatorRegistry, CInterfaceCallsByNameInItsOwnSessionAndNeverOverflows)
{
    ASSERT_EQ(0, Register(1, "Test_Echo", 1, 1));
    char text[32] = "unchanged";
    EXPECT_EQ(0, FMHost_CallFunction("Invoices", "test_echo", "x", text, sizeof text));
    EXPECT_STREQ("1:1:Invoices", text);

    EXPECT_EQ(1224, FMHost_CallFunction("Invoices", "Test_Missing", "x", text, sizeof text));
    EXPECT_STREQ("", text);
    // "1:1:Invoices" needs 13 bytes with its terminator.
    EXPECT_EQ(-1, FMHost_CallFunction("Invoices", "Test_Echo", "x", text, 12));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, FMHost_CallFunction("Invoices", "Test_Echo", "x", text, 13));
    EXPECT_EQ(-1, FMHost_CallFunction(nullptr, "Test_Echo", "x", text, sizeof text));
    EXPECT_EQ(-1, FMHost_CallFunction("Invoices", nullptr, "x", text, sizeof text));
    EXPECT_EQ(-1, FMHost_CallFunction("Invoices", "Test_Echo", nullptr, text, sizeof text));
    EXPECT_EQ(-1, FMHost_CallFunction("Invoices", "Test_Echo", "x", nullptr, 0));

    // An exception inside the host's call turns into an answer, not an unwind into C.
    ASSERT_EQ(0, Register(2, "Test_Throws", 1, 1, Throws));
    EXPECT_NE(0, FMHost_CallFunction("Invoices", "Test_Throws", "x", text, sizeof text));
}

TEST_F(HostEmulatorRegistry, EnvironmentsKnowTheirSession)
{
    session.OpenFile("Invoices");
    session.OpenFile("Contacts");
    EXPECT_EQ("Invoices", session.CallingFile());
    EXPECT_TRUE(session.SetCallingFile("contacts"));
    EXPECT_EQ("Contacts", session.CallingFile());
    EXPECT_FALSE(session.SetCallingFile("Nowhere"));

    FMHost::Session other;
    EXPECT_NE(session.Env().SessionID(), other.Env().SessionID());
    EXPECT_EQ(0u, other.Env().FileID());
    EXPECT_NE(0u, session.Env().FileID());

    DataUniquePtr name;
    EXPECT_EQ(0, session.Env().EvaluateGetFunction(ExprEnv::kGet_FileName, *name));
    EXPECT_EQ("Contacts", FMHost::TextOf(*name));
    EXPECT_TRUE(session.CloseFile("Contacts"));
    EXPECT_EQ("Invoices", session.CallingFile());

    TextUniquePtr path;
    EXPECT_EQ(0, session.Env().EvaluateConvertToFileMakerPath(*MakeText("/srv/a b.txt"), ExprEnv::kConvert_PosixPath,
                                                              *path));
    EXPECT_EQ("filelinux:/srv/a b.txt", Utf8(*path));
    EXPECT_EQ(0, session.Env().EvaluateConvertFromFileMakerPath(*path, ExprEnv::kConvert_URLPath, *path));
    EXPECT_EQ("file:///srv/a b.txt", Utf8(*path));
    EXPECT_NE(0, session.Env().EvaluateConvertToFileMakerPath(*MakeText("relative"), ExprEnv::kConvert_PosixPath,
                                                              *path));
}

// ---------------------------------------------------------------------------------------------------------------
// Fault injection.

TEST_F(HostEmulatorRegistry, TheNthCallFailsOnce)
{
    auto t = MakeText("a");
    FMHost::Faults::FailNthCall(2, _fmxcpt::kBadAlloc);
    t->Assign("b");
    EXPECT_THROW(t->Assign("c"), std::bad_alloc);
    EXPECT_EQ("b", Utf8(*t));  // the failed call changed nothing
    EXPECT_NO_THROW(t->Assign("d"));

    FMHost::Faults::FailNthCall(1, _fmxcpt::kUnknown);
    try
    {
        t->GetSize();
        ADD_FAILURE() << "no failure";
    }
    catch (const std::bad_alloc &)
    {
        ADD_FAILURE() << "wrong kind";
    }
    catch (const std::exception &)
    {
    }
}

TEST_F(HostEmulatorRegistry, DeletesAreNeitherFailedNorCounted)
{
    auto keep = MakeText("x");
    FMHost::Faults::FailNthCall(2, _fmxcpt::kBadAlloc);
    {
        TextUniquePtr t;  // call 1; its delete is not counted
    }
    EXPECT_EQ(1u, FMHost::Faults::CallsCounted());
    EXPECT_THROW(keep->GetSize(), std::bad_alloc);  // call 2

    FMHost::Faults::FailNthCall(1, _fmxcpt::kBadAlloc);
    keep.reset();  // a delete runs in operator delete: it must not fail, and leaves the armed failure pending
    EXPECT_THROW(MakeText("y"), std::bad_alloc);
}

// Failing each SDK call of a composite operation in turn: every failure surfaces as an exception, none corrupts
// the objects involved, and the operation succeeds again once nothing is armed.
TEST_F(HostEmulatorRegistry, EveryCallOfAnOperationCanFail)
{
    auto operation = [] {
        auto t = MakeText("Styled é");
        t->SetStyle(*FaceStyle(CharacterStyle::kFace_Bold), 0, 6);
        DataUniquePtr d;
        LocaleUniquePtr locale;
        d->SetAsText(*t, *locale);
        DataVectUniquePtr v;
        v->PushBack(*d);
        FixPtUniquePtr n(3);
        d->SetAsNumber(*n);
        v->PushBack(*d);
        return Utf8(v->AtAsText(0)) + "|" + Utf8(v->AtAsText(1));
    };
    FMHost::Faults::FailNthCall(0, _fmxcpt::kBadAlloc);  // count only
    const std::string expected = operation();
    const unsigned long calls = FMHost::Faults::CallsCounted();
    ASSERT_GT(calls, 10u);
    for (unsigned long n = 1; n <= calls; ++n)
    {
        FMHost::Faults::FailNthCall(static_cast<unsigned>(n), n % 2 ? _fmxcpt::kBadAlloc : _fmxcpt::kUnknown);
        EXPECT_THROW(operation(), std::exception) << "call " << n;
        FMHost::Faults::ClearCallFailure();
        EXPECT_EQ(expected, operation()) << "after failing call " << n;
    }
}

TEST_F(HostEmulatorRegistry, ArmedFaultsBelongToTheirThread)
{
    FMHost::Faults::FailNthCall(1, _fmxcpt::kBadAlloc);
    std::thread other([] { EXPECT_NO_THROW(MakeText("fine")); });
    other.join();
    EXPECT_THROW(MakeText("fails"), std::bad_alloc);
}

TEST_F(HostEmulatorRegistry, RefusedRegistrationsAndFailingCalculations)
{
    FMHost::Faults::RefuseRegistration(7, 3);
    EXPECT_EQ(3, Register(7, "Test_Refused", 0, 0));
    EXPECT_FALSE(FMHost::Function::Find("Test_Refused"));
    EXPECT_EQ(0, Register(8, "Test_Accepted", 0, 0));

    FMHost::Faults::FailEvaluation("Get ( FileName )", 1234);
    auto result = TextData("untouched");
    EXPECT_EQ(1234, session.Evaluate(*MakeText("Get ( FileName )"), *result));
    EXPECT_EQ("untouched", FMHost::TextOf(*result));
    EXPECT_EQ(1234, session.Env().Evaluate(*MakeText("Get ( FileName )"), *result));
    EXPECT_EQ(1234, session.Evaluate("Get ( FileName )").error);
    EXPECT_EQ("untouched", FMHost::TextOf(*result));

    FMHost::Faults::ClearAll();
    EXPECT_EQ(0, Register(7, "Test_Refused", 0, 0));
    EXPECT_NE(1234, session.Evaluate("Get ( FileName )").error);
}

// ---------------------------------------------------------------------------------------------------------------
// Concurrent use: eight threads, each in its own session, while the registry changes underneath.

TEST_F(HostEmulatorRegistry, EightSessionsRunAtOnce)
{
    ASSERT_EQ(0, Register(1, "Test_Echo", 0, -1));
    constexpr int kThreads = 8;
    constexpr int kRounds = 300;
    std::atomic<int> failures{0};
    std::atomic<bool> stop{false};

    std::thread churn([&] {
        // Registry writes while the sessions look functions up.
        while (!stop)
        {
            Register(2, "Test_Churn", 0, 0);
            ExprEnv::UnRegisterExternalFunction(*pluginId, 2);
        }
    });

    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            FMHost::Session own;
            const std::string file = "File" + std::to_string(i);
            own.OpenFile(file);
            const auto echo = FMHost::Function::Find("Test_Echo");
            DataUniquePtr data;
            DataUniquePtr fontHolder;
            for (int round = 0; round < kRounds; ++round)
            {
                auto t = MakeText("é" + std::to_string(round));
                t->AppendText(*t);
                char buf[32];
                t->GetBytes(buf, sizeof buf);
                LocaleUniquePtr locale;
                data->SetAsText(*t, *locale);
                FixPtUniquePtr n(round);
                data->SetAsNumber(*n);
                const CharacterStyle::FontID id =
                    fontHolder->GetFontID(*MakeText("Font" + std::to_string(round % 5)), own.Env());
                TextUniquePtr name;
                DataUniquePtr result;
                // $$ variables and parsed calculations belong to the session.
                DataUniquePtr counted;
                own.Env().Evaluate(*MakeText("Let ( $$n = $$n + 1 ; Get ( FileName ) & \":\" & $$n )"), *counted);
                if (FMHost::TextOf(*counted) != file + ":" + std::to_string(round + 1))
                    ++failures;
                if (std::string(buf) != "é" + std::to_string(round) + "é" + std::to_string(round)
                    || data->GetAsNumber().AsLong() != round || !fontHolder->GetFontInfo(id, *name, own.Env())
                    || own.Call(echo, *Args(i % 3), *result) != 0
                    || FMHost::TextOf(*result) != "1:" + std::to_string(i % 3) + ":" + file)
                    ++failures;
            }
        });
    for (auto &t : threads)
        t.join();
    stop = true;
    churn.join();
    EXPECT_EQ(0, failures.load());
}

// ---------------------------------------------------------------------------------------------------------------
// Session messages to plug-ins.

namespace
{
struct cSessionMessage
{
    int which;
    FMX_PtrType session, file;
    bool operator==(const cSessionMessage &o) const { return which == o.which && session == o.session && file == o.file; }
};
std::vector<cSessionMessage> gSessionMessages;
const char *gOptions = "TEST1nnYnYn";

void RecordingEntryPoint(FMX_ExternCallPtr pb)
{
    if (pb->whichCall == kFMXT_GetString && pb->parm1 == kFMXT_OptionsStr)
    {
        auto *buffer = reinterpret_cast<unichar16 *>(pb->result);
        for (std::size_t i = 0; i <= std::strlen(gOptions) && i < pb->parm3; ++i)
            buffer[i] = static_cast<unichar16>(gOptions[i]);
        return;
    }
    gSessionMessages.push_back({pb->whichCall, pb->parm2, pb->parm3});
}
} // namespace

TEST(HostEmulatorSessionMessages, ClosingFilesAndEndingSessionsAreToldToPluginsThatAsk)
{
    gSessionMessages.clear();
    gOptions = "TEST1nnYnYn";
    ASSERT_TRUE(FMHost::AttachPlugin(&RecordingEntryPoint));
    ptrtype sessionId = 0, invoices = 0, contacts = 0;
    {
        FMHost::Session session;
        session.OpenFile("Invoices");
        invoices = session.Env().FileID();
        session.OpenFile("Contacts");
        session.SetCallingFile("Contacts");
        contacts = session.Env().FileID();
        sessionId = session.Env().SessionID();
        FMHost::Session other;
        other.OpenFile("contacts");
        EXPECT_EQ(contacts, other.Env().FileID()); // one id per hosted file, whichever session opens it
        const ptrtype otherId = other.Env().SessionID();
        EXPECT_TRUE(other.CloseFile("Contacts"));
        EXPECT_FALSE(other.CloseFile("Contacts")); // not open: no message
        ASSERT_EQ(1u, gSessionMessages.size());
        EXPECT_EQ((cSessionMessage{kFMXT_FileShutdown, otherId, contacts}), gSessionMessages[0]);
        gSessionMessages.clear();
    } // other ends (no files left), then session ends with both its files open
    ASSERT_EQ(4u, gSessionMessages.size());
    EXPECT_EQ(kFMXT_SessionShutdown, gSessionMessages[0].which);
    EXPECT_EQ((cSessionMessage{kFMXT_FileShutdown, sessionId, contacts}), gSessionMessages[1]);
    EXPECT_EQ((cSessionMessage{kFMXT_FileShutdown, sessionId, invoices}), gSessionMessages[2]);
    EXPECT_EQ((cSessionMessage{kFMXT_SessionShutdown, sessionId, 0}), gSessionMessages[3]);

    FMHost::DetachPlugin(&RecordingEntryPoint);
    gSessionMessages.clear();
    {
        FMHost::Session detached;
        detached.OpenFile("Invoices");
    }
    EXPECT_TRUE(gSessionMessages.empty());

    gOptions = "TEST1nnYnnn"; // character 10 is not 'Y'
    EXPECT_FALSE(FMHost::AttachPlugin(&RecordingEntryPoint));
    {
        FMHost::Session unasked;
        unasked.OpenFile("Invoices");
    }
    EXPECT_TRUE(gSessionMessages.empty());
}

// ---- The soname of a plug-in file, which the host shows as the plug-in's version ----

namespace
{
// Tiny shared objects with the soname 3.2.0.8, as readelf reads them: either class, either byte order.
const char *const kElfSamples[] = {"elf64-lsb.so", "elf64-msb.so", "elf32-lsb.so", "elf32-msb.so"};

std::string ElfSamplePath(const char *name) { return std::string(VANTREL_SOURCE_DIR "/Development/Tests/data/elf/") + name; }

std::vector<unsigned char> ElfSample(const char *name)
{
    std::ifstream in(ElfSamplePath(name), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Exactly sized, so that a read past the end shows under the sanitizers.
std::string SonameOf(const std::vector<unsigned char> &image, std::size_t size)
{
    std::vector<unsigned char> copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
    return emu::ElfSonameOfImage(copy.data(), copy.size());
}

template <typename T> void Patch(std::vector<unsigned char> &image, std::size_t at, T value)
{
    std::memcpy(image.data() + at, &value, sizeof value);
}

// What readelf says the file's soname is ("" for none).
std::string ReadelfSoname(const std::string &path)
{
    std::string output;
    if (FILE *pipe = popen(("LC_ALL=C readelf -d --wide '" + path + "' 2>/dev/null").c_str(), "r"))
    {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    const std::string marker = "Library soname: [";
    std::size_t start = output.find(marker);
    if (start == std::string::npos)
        return "";
    start += marker.size();
    return output.substr(start, output.find(']', start) - start);
}
} // namespace

TEST(ElfSoname, FilesAgreeWithReadelf)
{
    for (const char *sample : kElfSamples)
        EXPECT_EQ("3.2.0.8", emu::ElfSonameOfFile(ElfSamplePath(sample))) << sample;
    for (const std::string path : {PRODUCTION_PLUGIN_PATH, SANDBOX_PLUGIN_PATH, VANTREL_BINARY_DIR "/libFMWrapper.so",
                                   VANTREL_BINARY_DIR "/test-plugins/LoggingPlugin.fmx"})
        EXPECT_EQ(ReadelfSoname(path), emu::ElfSonameOfFile(path)) << path;
    EXPECT_EQ("", emu::ElfSonameOfFile(VANTREL_BINARY_DIR "/no such plug-in.fmx"));
    EXPECT_EQ("", emu::ElfSonameOfFile(VANTREL_BINARY_DIR)) << "a folder";
    EXPECT_EQ("", emu::ElfSonameOfFile("/dev/null"));
}

TEST(ElfSoname, MalformedFilesGiveNoSoname)
{
    EXPECT_EQ("", emu::ElfSonameOfImage(nullptr, 0));
    const std::string text = "not a shared object at all, but long enough to hold an ELF header of either class";
    EXPECT_EQ("", emu::ElfSonameOfImage(text.data(), text.size()));

    // Fields of the little-endian 64-bit sample, patched in place (the hosts we build for are little-endian).
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "patches write the host's byte order");
    const std::vector<unsigned char> good = ElfSample("elf64-lsb.so");
    ASSERT_EQ("3.2.0.8", SonameOf(good, good.size()));
    Elf64_Ehdr header;
    std::memcpy(&header, good.data(), sizeof header);
    const std::size_t dynamicHeader = header.e_phoff + header.e_phentsize; // the second program header
    Elf64_Phdr dynamic;
    std::memcpy(&dynamic, good.data() + dynamicHeader, sizeof dynamic);
    ASSERT_EQ(PT_DYNAMIC, dynamic.p_type);
    const std::size_t sonameValue = dynamic.p_offset + 3 * sizeof(Elf64_Dyn) + offsetof(Elf64_Dyn, d_un);
    auto broken = [&](auto change) {
        std::vector<unsigned char> image = good;
        change(image);
        return SonameOf(image, image.size());
    };
    EXPECT_EQ("", broken([](auto &i) { i[EI_CLASS] = 3; }));
    EXPECT_EQ("", broken([](auto &i) { i[EI_DATA] = ELFDATANONE; }));
    EXPECT_EQ("", broken([](auto &i) { Patch<Elf64_Half>(i, offsetof(Elf64_Ehdr, e_phentsize), 8); }));
    EXPECT_EQ("", broken([](auto &i) { Patch<Elf64_Half>(i, offsetof(Elf64_Ehdr, e_phnum), PN_XNUM); }));
    EXPECT_EQ("", broken([](auto &i) { Patch<Elf64_Off>(i, offsetof(Elf64_Ehdr, e_phoff), ~0ull - 8); }));
    EXPECT_EQ("", broken([&](auto &i) { Patch<Elf64_Off>(i, dynamicHeader + offsetof(Elf64_Phdr, p_offset), ~0ull - 15); }));
    EXPECT_EQ("", broken([&](auto &i) { Patch<Elf64_Xword>(i, sonameValue, ~0ull); }));
}

TEST(ElfSoname, EveryTruncationAndEveryDamagedByteIsSafe)
{
    for (const char *sample : kElfSamples)
    {
        SCOPED_TRACE(sample);
        const std::vector<unsigned char> good = ElfSample(sample);
        ASSERT_FALSE(good.empty());
        // The soname counts once its terminator is in; one byte short it is a string that never ends.
        const std::string soname = "3.2.0.8";
        const std::size_t end = std::search(good.begin(), good.end(), soname.begin(), soname.end()) - good.begin() + soname.size();
        for (std::size_t size = 0; size < good.size(); ++size)
            ASSERT_EQ(size <= end ? "" : soname, SonameOf(good, size)) << size;
        for (std::size_t at = 0; at < good.size(); ++at)
            for (unsigned char value : {0x00, 0x7F, 0x80, 0xFF})
            {
                std::vector<unsigned char> damaged = good;
                damaged[at] = value;
                ASSERT_LE(SonameOf(damaged, damaged.size()).size(), damaged.size()) << at;
            }
    }
}
