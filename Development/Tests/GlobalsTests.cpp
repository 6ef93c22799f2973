#include <gtest/gtest.h>

#include "globals/Dictionary.h"
#include "globals/GlobalFunctions.h"
#include "support/GlobalsTestSupport.h"
#include "support/PluginTestSupport.h"

using namespace globalstest;

namespace
{
class Globals : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AllowEverythingIn({"A", "B", "Sales", "Sales 2024"});
        session.OpenFile("A");
        session.OpenFile("B");
        vtl::globalDictionary.clean();
        vtl::gCleanPeriod = 60;
    }
    void TearDown() override
    {
        FMHost::Faults::ClearAll();
        vtl::globalDictionary.clean();
        vtl::gCleanPeriod = 60;
    }

    cAnswer set(const std::vector<const fmx::Data *> &args) { return Call(Vantrel_SetGlobal, session, args); }
    cAnswer get(const std::string &key)
    {
        auto k = TextValue(key);
        return Call(Vantrel_GetGlobal, session, {k.get()});
    }
    cAnswer set(const std::string &key, const fmx::Data &value)
    {
        auto k = TextValue(key);
        return set({k.get(), &value});
    }
    cAnswer setBound(const std::string &key, const fmx::Data &value, const std::string &option = "dieonclose")
    {
        auto k = TextValue(key);
        auto o = TextValue(option);
        return set({k.get(), &value, o.get()});
    }
    std::optional<FString> boundFile(const std::string &key)
    {
        return vtl::globalDictionary.boundFile(FString(key.begin(), key.end()));
    }

    FMHost::Session session;
};

fmx::DataUniquePtr StyledText()
{
    fmx::TextUniquePtr text;
    text->Assign("bold red", fmx::Text::kEncoding_UTF8);
    fmx::CharacterStyleUniquePtr bold;
    bold->EnableFace(fmx::CharacterStyle::kFace_Bold);
    text->SetStyle(*bold, 0, 4);
    fmx::CharacterStyleUniquePtr red;
    fmx::ColorUniquePtr color(255, 0, 0);
    red->SetColor(*color);
    text->SetStyle(*red, 5, 3);
    fmx::LocaleUniquePtr locale;
    fmx::DataUniquePtr data;
    data->SetAsText(*text, *locale);
    return data;
}

bool SameStyleAt(const fmx::Text &a, const fmx::Text &b, fmx::uint32 position)
{
    fmx::CharacterStyleUniquePtr sa, sb;
    a.GetStyle(*sa, position);
    b.GetStyle(*sb, position);
    return *sa == *sb;
}
}

TEST_F(Globals, ValuesComeBackWithTheirType)
{
    auto number = NumberValue(12.5);
    auto date = DateValue(12, 31, 2026);
    auto text = TextValue("größer ✓");
    fmx::DateTimeUniquePtr moment;
    moment->SetNormalizedDate(2, 3, 2026);
    moment->SetNormalizedTime(13, 5, 9);
    fmx::DataUniquePtr timestamp, time;
    timestamp->SetAsTimeStamp(*moment);
    time->SetAsTime(*moment);
    fmx::FixPtUniquePtr one(1);
    fmx::DataUniquePtr boolean;
    boolean->SetAsNumber(*one, fmx::Data::kDTBoolean);

    const std::pair<const char *, const fmx::Data *> cases[] = {
        {"number", number.get()}, {"date", date.get()}, {"text", text.get()},
        {"timestamp", timestamp.get()}, {"time", time.get()}};
    for (const auto &[key, value] : cases)
    {
        SCOPED_TRACE(key);
        const cAnswer stored = set(key, *value);
        EXPECT_EQ(0, stored.error);
        EXPECT_EQ(FMHost::TypeOf(*value), stored.type()); // the call gives back what it stored
        const cAnswer read = get(key);
        EXPECT_EQ(0, read.error);
        EXPECT_EQ(FMHost::TypeOf(*value), read.type());
        EXPECT_EQ(FMHost::TextOf(*value), read.text());
    }
    set("boolean", *boolean);
    EXPECT_EQ(FMHost::Type::Number, get("boolean").type());
    EXPECT_EQ("1", get("boolean").text());
}

TEST_F(Globals, ContainersKeepTheirData)
{
    char bytes[] = {'P', 'N', 'G', 0, 1, 2, 3};
    fmx::TextUniquePtr name;
    name->Assign("picture.png");
    fmx::BinaryDataUniquePtr binary(*name, sizeof bytes, bytes);
    fmx::DataUniquePtr container;
    container->SetBinaryData(*binary, true);

    set("picture", *container);
    const cAnswer read = get("picture");
    ASSERT_EQ(FMHost::Type::Container, read.type());
    EXPECT_TRUE(read.result->GetBinaryData() == *binary);
    EXPECT_EQ(binary->GetTotalSize(), read.result->GetBinaryData().GetTotalSize());
}

TEST_F(Globals, StyledTextKeepsItsStyles)
{
    auto styled = StyledText();
    set("styled", *styled);
    const cAnswer read = get("styled");
    ASSERT_EQ("bold red", read.text());
    const fmx::Text &original = styled->GetAsText();
    const fmx::Text &copy = read.result->GetAsText();
    for (fmx::uint32 position : {0u, 3u, 4u, 5u, 7u})
        EXPECT_TRUE(SameStyleAt(original, copy, position)) << "position " << position;
    fmx::CharacterStyleUniquePtr first;
    copy.GetStyle(*first, 0);
    EXPECT_TRUE(first->IsFaceEnabled(fmx::CharacterStyle::kFace_Bold));
}

TEST_F(Globals, StoredValuesAreCopiesNotSharedWithTheCaller)
{
    auto value = TextValue("before");
    set("k", *value);
    fmx::TextUniquePtr changed;
    changed->Assign("after");
    fmx::LocaleUniquePtr locale;
    value->SetAsText(*changed, *locale);
    EXPECT_EQ("before", get("k").text());

    cAnswer read = get("k");
    read.result->SetAsText(*changed, *locale);
    EXPECT_EQ("before", get("k").text());
}

TEST_F(Globals, KeysAreExactAndAStoreReplaces)
{
    auto one = NumberValue(1), two = NumberValue(2), three = NumberValue(3);
    set("Key", *one);
    set("key", *two);
    set(" key", *three);
    EXPECT_EQ("1", get("Key").text());
    EXPECT_EQ("2", get("key").text());
    EXPECT_EQ("3", get(" key").text());
    EXPECT_EQ(3u, vtl::globalDictionary.size());

    auto text = TextValue("now text");
    set("key", *text);
    EXPECT_EQ(3u, vtl::globalDictionary.size());
    EXPECT_EQ(FMHost::Type::Text, get("key").type());
    EXPECT_EQ("now text", get("key").text());
}

TEST_F(Globals, MissingAndEmptyKeysReadAsEmptyWithoutError)
{
    for (const char *key : {"never stored", ""})
    {
        const cAnswer read = get(key);
        EXPECT_EQ(0, read.error);
        EXPECT_EQ(FMHost::Type::Invalid, read.type());
        EXPECT_EQ("", read.text());
    }
    EXPECT_EQ("", LastErrorMessage(session)); // not an error
}

TEST_F(Globals, EmptyKeyEmptiesEverything)
{
    auto value = NumberValue(7);
    set("plain", *value);
    setBound("bound", *value);
    auto empty = TextValue("");
    auto anything = NumberValue(1);
    const cAnswer answer = set({empty.get(), anything.get()});
    EXPECT_EQ(0, answer.error);
    EXPECT_EQ("", answer.text());
    EXPECT_EQ(0u, vtl::globalDictionary.size());
    EXPECT_FALSE(boundFile("bound"));
}

TEST_F(Globals, EmptyTextRemovesOneKeyWhateverTheOption)
{
    auto value = NumberValue(7);
    auto empty = TextValue("");
    set("a", *value);
    set("b", *value);
    setBound("c", *value);
    EXPECT_EQ("", set("a", *empty).text());
    EXPECT_EQ("", setBound("c", *empty, "not an option").text()); // the option is not looked at
    EXPECT_EQ("", LastErrorMessage(session));
    EXPECT_FALSE(vtl::globalDictionary.contains(u"a"));
    EXPECT_FALSE(vtl::globalDictionary.contains(u"c"));
    EXPECT_FALSE(boundFile("c"));
    EXPECT_TRUE(vtl::globalDictionary.contains(u"b"));
    set("never stored", *empty); // nothing to remove, no error
    EXPECT_EQ(1u, vtl::globalDictionary.size());

    auto zero = NumberValue(0); // only empty text removes
    set("b", *zero);
    EXPECT_EQ("0", get("b").text());
}

TEST_F(Globals, UsageErrorsReportAndStoreNothing)
{
    auto key = TextValue("k");
    auto value = NumberValue(1);
    for (const std::vector<const fmx::Data *> &args : {std::vector<const fmx::Data *>{}, {key.get()}})
    {
        const cAnswer answer = set(args);
        EXPECT_EQ(0, answer.error);
        EXPECT_EQ("-50", answer.text());
        EXPECT_EQ(FMHost::Type::Number, answer.type());
        EXPECT_EQ("Key and value must be specified", LastErrorMessage(session));
    }
    for (const char *option : {" dieonclose", "dieonclose ", "", "die on close", "1"})
    {
        SCOPED_TRACE(option);
        session.ClearVariables();
        const cAnswer answer = setBound("k", *value, option);
        EXPECT_EQ("-50", answer.text());
        EXPECT_EQ("Unknown value of parameter moreOptions", LastErrorMessage(session));
        EXPECT_EQ("-50", LastErrorCode(session));
    }
    EXPECT_EQ(0u, vtl::globalDictionary.size());

    const cAnswer noKey = Call(Vantrel_GetGlobal, session, {});
    EXPECT_EQ("-50", noKey.text());
    EXPECT_EQ("Key must be specified", LastErrorMessage(session));
}

TEST_F(Globals, DieOnCloseBindsToTheFirstFileThatStoredTheKey)
{
    auto one = NumberValue(1), two = NumberValue(2), three = NumberValue(3);
    EXPECT_EQ("1", setBound("k", *one, "DIEONCLOSE").text());
    EXPECT_EQ(FString(u"A"), boundFile("k"));

    session.SetCallingFile("B");
    setBound("k", *two, "DieOnClose");
    EXPECT_EQ("2", get("k").text());
    EXPECT_EQ(FString(u"A"), boundFile("k")); // the first binding stays

    set("k", *three); // a plain store unbinds
    EXPECT_FALSE(boundFile("k"));
    setBound("k", *one);
    EXPECT_EQ(FString(u"B"), boundFile("k"));
}

// A host that does not send the session messages: each session checks its own keys once per die interval.
TEST_F(Globals, ClosingAFileDropsItsKeysAtTheNextCleanUp)
{
    auto value = NumberValue(1);
    setBound("fromA", *value);
    session.SetCallingFile("B");
    setBound("fromB", *value);
    set("plain", *value);

    session.CloseFile("A");
    EXPECT_EQ("1", get("fromA").text()); // the die interval (60 s) has not passed yet

    vtl::gCleanPeriod = 0;
    EXPECT_EQ("", get("fromA").text());
    EXPECT_FALSE(vtl::globalDictionary.contains(u"fromA"));
    EXPECT_FALSE(boundFile("fromA"));
    EXPECT_EQ("1", get("fromB").text());
    EXPECT_EQ("1", get("plain").text());

    session.OpenFile("Sales");
    session.CloseFile("B"); // SetGlobal cleans up as well
    auto other = NumberValue(2);
    set("another", *other);
    EXPECT_FALSE(vtl::globalDictionary.contains(u"fromB"));
    EXPECT_EQ(2u, vtl::globalDictionary.size());
}

TEST_F(Globals, CallsFromOtherSessionsNeverRemoveAKey)
{
    // Session "sales" binds a key in Sales; this session never opened Sales, only a file whose name begins with it.
    FMHost::Session sales;
    sales.OpenFile("Sales");
    auto value = NumberValue(1);
    auto key = TextValue("sales key");
    auto option = TextValue("dieonclose");
    Call(Vantrel_SetGlobal, sales, {key.get(), value.get(), option.get()});
    ASSERT_EQ(FString(u"Sales"), boundFile("sales key"));

    session.OpenFile("Sales 2024");
    vtl::gCleanPeriod = 0;
    for (int call = 0; call < 3; ++call)
        EXPECT_EQ("1", get("sales key").text());
    EXPECT_EQ(FString(u"Sales"), boundFile("sales key"));

    // The binding session's own check compares whole names: "Sales 2024" open does not keep "Sales".
    sales.OpenFile("Sales 2024");
    auto probe = TextValue("x");
    Call(Vantrel_GetGlobal, sales, {probe.get()}); // first sight of the session: its check starts an interval
    sales.CloseFile("Sales");
    Call(Vantrel_GetGlobal, sales, {probe.get()});
    EXPECT_FALSE(vtl::globalDictionary.contains(u"sales key"));
}

TEST_F(Globals, ShutdownMessagesEndExactlyTheKeysOfThatFileOfThatSession)
{
    FMHost::Session other;
    other.OpenFile("A");
    auto value = NumberValue(1);
    auto option = TextValue("dieonclose");
    setBound("mine in A", *value);
    const fmx::ptrtype fileA = session.Env().FileID();
    session.SetCallingFile("B");
    for (int i = 0; i < 1000; ++i) // more than one batch of removals
        setBound("mine in B " + std::to_string(i), *value);
    set("plain", *value);
    auto otherKey = TextValue("other in A");
    Call(Vantrel_SetGlobal, other, {otherKey.get(), value.get(), option.get()});
    const fmx::ptrtype mine = session.Env().SessionID(), others = other.Env().SessionID();
    ASSERT_EQ(fileA, other.Env().FileID());
    EXPECT_EQ((vtl::cBindingPlace{others, fileA}), vtl::globalDictionary.boundPlace(u"other in A"));
    EXPECT_EQ(1003u, vtl::globalDictionary.size());

    auto send = [](FMX_ExternCallSwitch which, fmx::ptrtype sessionId, fmx::ptrtype fileId) {
        FMX_ExternCallStruct record = plugintest::Message(which);
        record.parm2 = sessionId;
        record.parm3 = fileId;
        plugintest::Send(record);
    };
    send(kFMXT_FileShutdown, mine, 999);    // a file of which nothing is bound
    send(kFMXT_SessionShutdown, 999, 0);    // a session that bound nothing
    EXPECT_EQ(1003u, vtl::globalDictionary.size());

    send(kFMXT_FileShutdown, others, fileA); // the other session leaves A: only its key goes
    EXPECT_FALSE(vtl::globalDictionary.contains(u"other in A"));
    EXPECT_EQ("1", get("mine in A").text());

    send(kFMXT_FileShutdown, mine, fileA);
    EXPECT_FALSE(vtl::globalDictionary.contains(u"mine in A"));
    EXPECT_EQ(1001u, vtl::globalDictionary.size());

    set("mine in B 7", *value); // stored plain again: no longer bound, so it outlives the session
    send(kFMXT_SessionShutdown, mine, 0);
    EXPECT_EQ(2u, vtl::globalDictionary.size());
    EXPECT_EQ("1", get("plain").text());
    EXPECT_EQ("1", get("mine in B 7").text());
    EXPECT_FALSE(boundFile("mine in B 7"));
}

TEST_F(Globals, OnlyHostsWithoutShutdownMessagesAreCheckedPeriodically)
{
    plugintest::Initialise(55); // before the session messages existed
    EXPECT_FALSE(vtl::globalDictionary.closingsReported());
    plugintest::ShutdownPlugIn();
    plugintest::Initialise(56);
    EXPECT_TRUE(vtl::globalDictionary.closingsReported());

    // The host reports closings: a file closed without a message (which such a host never does) is not polled.
    auto value = NumberValue(1);
    setBound("bound", *value);
    session.CloseFile("A");
    vtl::gCleanPeriod = 0;
    EXPECT_EQ("1", get("bound").text());
    EXPECT_EQ("1", get("bound").text());
    plugintest::ShutdownPlugIn();
    vtl::globalDictionary.setClosingsReported(false);
}

TEST_F(Globals, HostThatCannotNameFilesLeavesKeysAlone)
{
    auto value = NumberValue(1);
    FMHost::Faults::FailEvaluation("Get( FileName )");
    setBound("unbound", *value);
    EXPECT_TRUE(vtl::globalDictionary.contains(u"unbound"));
    EXPECT_FALSE(boundFile("unbound")); // stored as a plain global

    FMHost::Faults::ClearAll();
    setBound("bound", *value);
    session.CloseFile("A");
    FMHost::Faults::FailEvaluation("DatabaseNames");
    vtl::gCleanPeriod = 0;
    EXPECT_EQ("1", get("bound").text()); // no list of open files: nothing is removed
    EXPECT_TRUE(boundFile("bound"));
}

TEST_F(Globals, HostFailuresEndInError2400AndLeaveTheStoreConsistent)
{
    auto old = TextValue("old");
    auto styled = StyledText();
    set("k", *old);
    auto key = TextValue("k");
    auto option = TextValue("dieonclose");
    // Fail every SDK call of a bound store in turn: the call reports 2400 or succeeds, and the key holds either the
    // old or the new value, never anything else.
    for (unsigned n = 1;; ++n)
    {
        SCOPED_TRACE(n);
        fmx::DataVectUniquePtr args;
        args->PushBack(*key);
        args->PushBack(*styled);
        args->PushBack(*option);
        fmx::DataUniquePtr result;
        FMHost::Faults::FailNthCall(n);
        const fmx::errcode error = Vantrel_SetGlobal(23, session.Env(), *args, *result);
        const bool failed = FMHost::Faults::CallsCounted() >= n;
        FMHost::Faults::ClearCallFailure();
        EXPECT_EQ(0, error);
        const std::string now = get("k").text();
        EXPECT_TRUE(now == "old" || now == "bold red") << now;
        if (!failed)
        {
            EXPECT_EQ("bold red", now);
            break;
        }
        if (FMHost::TextOf(*result) == "2400")
        {
            EXPECT_EQ("2400", LastErrorCode(session));
        }
        set("k", *old);
        ASSERT_LT(n, 200u);
    }
}
