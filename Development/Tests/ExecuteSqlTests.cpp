// Vantrel_ExecuteSQL inside the test program: the plug-in registered in the emulator, hosted files backed by
// SQLite databases, results read back as the host sees them.
#include "support/PluginTestSupport.h"

#include "sql/SqlDatabase.h"
#include "sql/SqlErrors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
class cExecuteSQL : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The cases of this program may run at once in separate processes: the allow-list is written whole and
        // never changed afterwards.
        const std::string temporary = std::string(TEST_ALLOWLIST_PATH) + "." + std::to_string(::getpid());
        plugintest::WriteFile(temporary, "Invoices\tVantrel_ExecuteSQL\nPlain\tany\n");
        std::rename(temporary.c_str(), TEST_ALLOWLIST_PATH);
        plugIn_ = new plugintest::cLoadedPlugIn();
    }
    static void TearDownTestSuite()
    {
        delete plugIn_;
        plugIn_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(0, plugIn_->initialised);
        path_ = ::testing::TempDir() + "executesql-" + std::to_string(::getpid()) + ".sqlite";
        std::ofstream(path_).flush();
        auto db = emu::cSqlDatabase::Open(path_);
        for (const char16_t *statement :
             {u"CREATE TABLE t (id INTEGER, name TEXT, amount REAL, note TEXT)",
              u"INSERT INTO t VALUES (1, 'one', 1.5, NULL), (2, 'tab\there', -0.25, 'x'), (3, NULL, NULL, NULL)"})
        {
            struct : emu::cSqlRowSink
            {
                void OnRow(const emu::cSqlRow &) override {}
            } none;
            ASSERT_EQ(0, db->Execute(statement, {}, none));
        }
        session_ = std::make_unique<FMHost::Session>();
        session_->OpenFile("Invoices", path_);
    }
    void TearDown() override
    {
        session_.reset();
        std::remove(path_.c_str());
    }

    // Calls the function with text arguments; the host's answer goes to *answer when given.
    FMHost::Result Run(const std::vector<std::u16string> &arguments, fmx::errcode *answer = nullptr)
    {
        fmx::DataVectUniquePtr args;
        fmx::LocaleUniquePtr locale;
        for (const std::u16string &argument : arguments)
        {
            fmx::TextUniquePtr text;
            text->AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16 *>(argument.data()),
                                          static_cast<fmx::uint32>(argument.size()));
            fmx::DataUniquePtr value;
            value->SetAsText(*text, *locale);
            args->PushBack(*value);
        }
        fmx::DataUniquePtr result;
        const fmx::errcode code = session_->Call("Vantrel_ExecuteSQL", *args, *result);
        if (answer != nullptr)
            *answer = code;
        return {code, FMHost::TypeOf(*result), FMHost::TextOf(*result)};
    }
    std::string LastError() const { return session_->Variable("$$Vantrel_LastError").text; }
    std::string LastMessage() const { return session_->Variable("$$Vantrel_LastErrorMessage").text; }

    static plugintest::cLoadedPlugIn *plugIn_;
    std::string path_;
    std::unique_ptr<FMHost::Session> session_;
};
plugintest::cLoadedPlugIn *cExecuteSQL::plugIn_ = nullptr;

TEST_F(cExecuteSQL, RowsWithTheDefaultSeparatorsAndHostTextForms)
{
    const FMHost::Result result = Run({u"SELECT id, name, amount, note FROM t ORDER BY id"});
    EXPECT_EQ(0, result.error);
    EXPECT_EQ(FMHost::Type::Text, result.type);
    // A TAB inside a value is copied unchanged; NULL adds nothing, so a row of NULLs gives only separators.
    EXPECT_EQ("1\tone\t1.5\t\r2\ttab\there\t-0.25\tx\r3\t\t\t", result.text);
    EXPECT_EQ("0", LastError());
    EXPECT_EQ("No Error Message", LastMessage());
}

TEST_F(cExecuteSQL, SeparatorsComeFromTheFirstCharacter)
{
    EXPECT_EQ("1,one|2,tab\there", Run({u"SELECT id, name FROM t WHERE id < 3 ORDER BY id", u", ", u"|"}).text);
    // Only the field separator given: rows keep the carriage return.
    EXPECT_EQ("1;one\r2;tab\there", Run({u"SELECT id, name FROM t WHERE id < 3 ORDER BY id", u";"}).text);
    // Empty separator arguments keep the defaults; arguments after the third are not read.
    EXPECT_EQ("1\tone\r2\ttab\there",
              Run({u"SELECT id, name FROM t WHERE id < 3 ORDER BY id", u"", u"", u"ignored"}).text);
    // A separator outside the BMP stays one whole character.
    EXPECT_EQ("1\xF0\x9F\x98\x80one", Run({u"SELECT id, name FROM t WHERE id = 1", u"\U0001F600"}).text);
}

TEST_F(cExecuteSQL, AnEmptyResultIsTheEmptyTextAndClearsTheLastError)
{
    Run({u"SELEC x"});
    ASSERT_EQ("8310", LastError());
    const FMHost::Result result = Run({u"SELECT id FROM t WHERE id > 99"});
    EXPECT_EQ(0, result.error);
    EXPECT_EQ("", result.text);
    EXPECT_EQ("0", LastError());
    EXPECT_EQ("No Error Message", LastMessage());
}

TEST_F(cExecuteSQL, SqlErrorsGiveTheHostCodeAsANumber)
{
    const struct
    {
        const char16_t *query;
        short code;
    } cases[] = {{u"SELEC x", emu::sqlerr::kSyntax},
                 {u"SELECT * FROM nowhere", emu::sqlerr::kUnknownName},
                 {u"SELECT nosuchcolumn FROM t", emu::sqlerr::kUnknownName},
                 {u"SELECT ?", emu::sqlerr::kParameterCount}};
    for (const auto &c : cases)
    {
        fmx::errcode answer = -1;
        const FMHost::Result result = Run({c.query}, &answer);
        EXPECT_EQ(0, answer);
        EXPECT_EQ(FMHost::Type::Number, result.type);
        EXPECT_EQ(std::to_string(c.code), result.text);
        EXPECT_EQ(std::to_string(c.code), LastError());
        EXPECT_EQ("SQL Error", LastMessage());
    }
}

TEST_F(cExecuteSQL, FilesWithoutADatabaseAnswerAnErrorCode)
{
    session_->OpenFile("Plain");
    ASSERT_TRUE(session_->SetCallingFile("Plain"));
    EXPECT_EQ(std::to_string(emu::sqlerr::kNoDatabase), Run({u"SELECT 1"}).text);
    EXPECT_EQ("SQL Error", LastMessage());
}

TEST_F(cExecuteSQL, ADeniedCallRunsNoSql)
{
    session_->OpenFile("Unlisted", path_);
    ASSERT_TRUE(session_->SetCallingFile("Unlisted"));
    const FMHost::Result result = Run({u"DELETE FROM t"});
    EXPECT_EQ("?", result.text);
    EXPECT_EQ("24012", LastError());
    ASSERT_TRUE(session_->SetCallingFile("Invoices"));
    EXPECT_EQ("3", Run({u"SELECT count(*) FROM t"}).text);
}

TEST_F(cExecuteSQL, TheHostChecksTheArgumentCount)
{
    fmx::errcode answer = 0;
    Run({}, &answer);
    EXPECT_EQ(1201, answer);
}

// Every SDK call the function makes may fail; each failure must end in an error result, never in a crash, a leak
// or a half-written result.
TEST_F(cExecuteSQL, EveryHostFailureEndsInAnErrorResult)
{
    FMHost::Faults::ClearCallFailure();
    Run({u"SELECT id, name FROM t ORDER BY id", u",", u"|"});
    const unsigned long calls = FMHost::Faults::CallsCounted();
    ASSERT_GT(calls, 10u);
    for (unsigned n = 1; n <= calls; ++n)
    {
        for (int code : {fmx::_fmxcpt::kBadAlloc, fmx::_fmxcpt::kUnknown})
        {
            fmx::DataVectUniquePtr args;
            fmx::LocaleUniquePtr locale;
            fmx::TextUniquePtr text;
            text->Assign("SELECT id, name FROM t ORDER BY id", fmx::Text::kEncoding_UTF8);
            fmx::DataUniquePtr value;
            value->SetAsText(*text, *locale);
            args->PushBack(*value);
            fmx::DataUniquePtr result;
            FMHost::Faults::FailNthCall(n, code);
            const fmx::errcode answer = session_->Call("Vantrel_ExecuteSQL", *args, *result);
            FMHost::Faults::ClearCallFailure();
            const std::string shown = FMHost::TextOf(*result);
            EXPECT_TRUE(shown == "1\tone\r2\ttab\there\r3\t" || shown == "2400" || shown == "?" || shown.empty())
                << "call " << n << " gave " << shown << " (host answer " << answer << ")";
        }
    }
}
}
