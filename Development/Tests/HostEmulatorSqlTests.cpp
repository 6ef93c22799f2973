// The emulator's SQL engine on SQLite: typed values, parameters, error codes, locking and threads.
#include "FMHost/Host.h"
#include "sql/FileSql.h"
#include "sql/SqlDatabase.h"
#include "sql/SqlErrors.h"

#include <gtest/gtest.h>

#include "FMWrapper/FMXBinaryData.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXFixPt.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using emu::cSqlDatabase;
using emu::SqlKind;
using emu::SqlValue;

// Collects every row as SqlValues.
struct Rows : emu::cSqlRowSink {
    std::vector<std::vector<SqlValue>> rows;
    void OnRow(const emu::cSqlRow &row) override
    {
        std::vector<SqlValue> values(static_cast<std::size_t>(row.Size()));
        for (int i = 0; i < row.Size(); ++i) {
            SqlValue &value = values[static_cast<std::size_t>(i)];
            value.kind = row.KindAt(i);
            if (value.kind == SqlKind::Integer)
                value.integer = row.IntegerAt(i);
            else if (value.kind == SqlKind::Real)
                value.real = row.RealAt(i);
            else if (value.kind == SqlKind::Text)
                value.text = std::u16string(row.TextAt(i));
            else if (value.kind == SqlKind::Blob)
                value.blob = std::string(row.BlobAt(i));
        }
        rows.push_back(std::move(values));
    }
};

SqlValue Integer(std::int64_t v) { SqlValue s; s.kind = SqlKind::Integer; s.integer = v; return s; }
SqlValue Real(double v) { SqlValue s; s.kind = SqlKind::Real; s.real = v; return s; }
SqlValue Text(std::u16string v) { SqlValue s; s.kind = SqlKind::Text; s.text = std::move(v); return s; }
SqlValue Blob(std::string v) { SqlValue s; s.kind = SqlKind::Blob; s.blob = std::move(v); return s; }

class SqlEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = ::testing::TempDir() + "sqlengine-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".sqlite";
        std::ofstream(path_).flush();  // SQLite takes an empty file as an empty database
        db_ = cSqlDatabase::Open(path_);
        Run(u"CREATE TABLE t (id INTEGER PRIMARY KEY, n REAL, s TEXT, b BLOB)");
        Run(u"INSERT INTO t VALUES (1, 1.5, 'one', NULL), (2, NULL, 'tab\there', x'00ff'), (3, -2, NULL, NULL)");
    }
    void TearDown() override
    {
        db_.reset();
        std::remove(path_.c_str());
    }
    short Run(std::u16string_view query, const std::vector<SqlValue> &parameters = {}, Rows *out = nullptr)
    {
        Rows scratch;
        return db_->Execute(query, parameters, out != nullptr ? *out : scratch, &message_);
    }

    std::string path_;
    std::string message_;
    std::shared_ptr<cSqlDatabase> db_;
};

TEST_F(SqlEngine, ValuesKeepTheirSqliteType)
{
    Rows out;
    ASSERT_EQ(0, Run(u"SELECT id, n, s, b FROM t ORDER BY id", {}, &out)) << message_;
    ASSERT_EQ(3u, out.rows.size());
    const auto &first = out.rows[0];
    EXPECT_EQ(SqlKind::Integer, first[0].kind);
    EXPECT_EQ(1, first[0].integer);
    EXPECT_EQ(SqlKind::Real, first[1].kind);
    EXPECT_EQ(1.5, first[1].real);
    EXPECT_EQ(SqlKind::Text, first[2].kind);
    EXPECT_EQ(u"one", first[2].text);
    EXPECT_EQ(SqlKind::Null, first[3].kind);
    EXPECT_EQ(u"tab\there", out.rows[1][2].text);
    EXPECT_EQ(SqlKind::Blob, out.rows[1][3].kind);
    EXPECT_EQ(std::string("\0\xff", 2), out.rows[1][3].blob);
    // A REAL column stores -2 as a real; the type comes from the value, not the declaration.
    EXPECT_EQ(SqlKind::Real, out.rows[2][1].kind);
}

TEST_F(SqlEngine, TextSurvivesOutsideTheBasicPlane)
{
    Rows out;
    ASSERT_EQ(0, Run(u"SELECT ?", {Text(u"Caf\u00e9 \U0001F600")}, &out));
    EXPECT_EQ(u"Caf\u00e9 \U0001F600", out.rows.at(0).at(0).text);
}

TEST_F(SqlEngine, ParametersBindInOrderWithTheirTypes)
{
    Rows out;
    ASSERT_EQ(0, Run(u"SELECT ?, ?, ?, ?, ?, typeof(?)", {Integer(7), Real(0.25), Text(u"x"), Blob("ab"), SqlValue(), Integer(1)},
                     &out)) << message_;
    const auto &row = out.rows.at(0);
    EXPECT_EQ(7, row[0].integer);
    EXPECT_EQ(0.25, row[1].real);
    EXPECT_EQ(u"x", row[2].text);
    EXPECT_EQ("ab", row[3].blob);
    EXPECT_EQ(SqlKind::Null, row[4].kind);
    EXPECT_EQ(u"integer", row[5].text);

    out.rows.clear();
    ASSERT_EQ(0, Run(u"SELECT s FROM t WHERE id = ? OR id = ? ORDER BY id", {Integer(3), Integer(1)}, &out));
    EXPECT_EQ(2u, out.rows.size());
}

TEST_F(SqlEngine, ErrorsAnswerDistinctCodes)
{
    EXPECT_EQ(emu::sqlerr::kSyntax, Run(u"SELEC x"));
    EXPECT_EQ(emu::sqlerr::kSyntax, Run(u"SELECT * FROM"));
    EXPECT_EQ(emu::sqlerr::kSyntax, Run(u"SELECT 'unterminated"));
    EXPECT_EQ(emu::sqlerr::kSyntax, Run(u""));
    EXPECT_EQ(emu::sqlerr::kSyntax, Run(u"  -- only a comment"));
    EXPECT_EQ(emu::sqlerr::kUnknownName, Run(u"SELECT * FROM nowhere"));
    EXPECT_NE(std::string::npos, message_.find("nowhere"));
    EXPECT_EQ(emu::sqlerr::kUnknownName, Run(u"SELECT nosuchcolumn FROM t"));
    EXPECT_EQ(emu::sqlerr::kUnknownName, Run(u"SELECT nofunction(1)"));
    EXPECT_EQ(emu::sqlerr::kParameterCount, Run(u"SELECT ?, ?", {Integer(1)}));
    EXPECT_EQ(emu::sqlerr::kParameterCount, Run(u"SELECT 1", {Integer(1)}));
    EXPECT_EQ(emu::sqlerr::kOther, Run(u"INSERT INTO t (id) VALUES (1)"));  // primary key taken
}

TEST_F(SqlEngine, OnlyOneStatementRuns)
{
    EXPECT_EQ(emu::sqlerr::kSeveralStatements, Run(u"SELECT 1; DELETE FROM t"));
    EXPECT_EQ(emu::sqlerr::kSeveralStatements, Run(u"SELECT 1; SELEC"));
    Rows out;
    ASSERT_EQ(0, Run(u"SELECT count(*) FROM t;  ;\n-- done\n /* really */", {}, &out)) << message_;
    EXPECT_EQ(3, out.rows.at(0).at(0).integer);
}

TEST_F(SqlEngine, AFailureAfterSomeRowsStillAnswersTheError)
{
    Rows out;
    EXPECT_EQ(emu::sqlerr::kOther,
              Run(u"SELECT CASE WHEN id < 3 THEN id ELSE abs(-9223372036854775807 - 1) END FROM t ORDER BY id", {}, &out));
    EXPECT_EQ(2u, out.rows.size());  // the caller drops them; the engine only streams
}

TEST_F(SqlEngine, WritesAreKept)
{
    ASSERT_EQ(0, Run(u"UPDATE t SET s = ? WHERE id = 3", {Text(u"three")}));
    db_.reset();
    db_ = cSqlDatabase::Open(path_);
    Rows out;
    ASSERT_EQ(0, Run(u"SELECT s FROM t WHERE id = 3", {}, &out));
    EXPECT_EQ(u"three", out.rows.at(0).at(0).text);
}

TEST_F(SqlEngine, AThrowingReceiverLeavesTheDatabaseUsable)
{
    struct Throwing : emu::cSqlRowSink {
        void OnRow(const emu::cSqlRow &) override { throw std::runtime_error("full"); }
    } throwing;
    EXPECT_THROW(db_->Execute(u"SELECT * FROM t", {}, throwing), std::runtime_error);
    Rows out;
    ASSERT_EQ(0, Run(u"SELECT count(*) FROM t", {}, &out));
    EXPECT_EQ(3, out.rows.at(0).at(0).integer);
}

TEST_F(SqlEngine, ALockHeldElsewhereEndsInTheBusyCode)
{
    auto other = cSqlDatabase::Open(path_);
    Rows scratch;
    ASSERT_EQ(0, other->Execute(u"BEGIN EXCLUSIVE", {}, scratch));
    EXPECT_EQ(emu::sqlerr::kBusy, Run(u"SELECT count(*) FROM t"));
    ASSERT_EQ(0, other->Execute(u"COMMIT", {}, scratch));
    EXPECT_EQ(0, Run(u"SELECT count(*) FROM t"));
}

TEST_F(SqlEngine, ThreadsShareOneConnection)
{
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                Rows out;
                std::string message;
                const short rc = db_->Execute(i % 2 ? u"SELECT ? + id FROM t WHERE id = 1" : u"SELEC", {Integer(t)},
                                              out, &message);
                const bool good = i % 2 ? rc == 0 && out.rows.size() == 1 && out.rows[0][0].integer == t + 1
                                        : rc == emu::sqlerr::kSyntax;
                if (!good)
                    ++wrong;
            }
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(0, wrong.load());
}

// Reals from SQLite take a shortcut to host numbers; it must give exactly what the host's own conversion gives.
TEST(SqlRealNumbers, MatchTheHostConversion)
{
    std::mt19937_64 random(12345);
    std::vector<double> reals = {1.5, -0.25, 0.1, 1.0 / 3, 2.0 / 3, 15000, 1e15, 1e16, 1.5e17, 123456789.123456789,
                                 1e-5, 1.234567890123456789e-7, 5e-17, 1e-20, -9.87654321e-12, 4.9e-324, 1.7e308};
    for (int i = -3000; i < 3000; ++i)  // reals with a few decimals, as data usually holds them
        reals.insert(reals.end(), {i * 1.25 + 0.5, i / 100.0, i / 7.0, i * 0.001, i * 1e-9, i * 1e9 + 0.25});
    for (int i = 0; i < 20000; ++i) {
        const double mantissa = std::uniform_real_distribution<double>(-10, 10)(random);
        reals.push_back(std::ldexp(mantissa, std::uniform_int_distribution<int>(-70, 70)(random)));
    }
    for (const double real : reals) {
        const emu::Number fast = emu::NumberFromReal(real), slow = emu::Number::FromDouble(real);
        ASSERT_EQ(slow.ToString(), fast.ToString()) << real;
        ASSERT_EQ(0, emu::Number::Compare(slow, fast)) << real;
    }
}

TEST(SqlEngineOpen, RefusesMissingFilesAndNonDatabases)
{
    const std::string missing = ::testing::TempDir() + "no-such-dir/none.sqlite";
    try {
        cSqlDatabase::Open(missing);
        FAIL() << "opened a missing database";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find(missing));
    }
    const std::string text = ::testing::TempDir() + "sqlengine-not-a-database-" + std::to_string(::getpid()) + ".txt";
    std::ofstream(text) << "just some words, long enough to be taken for a header of a database file......\n";
    EXPECT_THROW(cSqlDatabase::Open(text), std::runtime_error);
    std::remove(text.c_str());
}

// The SDK's side: FM_ExprEnv_ExecuteFileSQL on hosted files of an emulator session.
class SqlHostedFiles : public SqlEngine {
protected:
    void SetUp() override
    {
        SqlEngine::SetUp();
        session_.OpenFile("Invoices", path_);
    }

    // Runs query on file with the given parameters; the rows as "type:text" cells, rows separated by " / ".
    short Query(const std::string &query, const std::string &file = "", std::vector<const fmx::Data *> parameters = {},
                std::string *shown = nullptr)
    {
        fmx::TextUniquePtr text, name;
        text->Assign(query.c_str(), fmx::Text::kEncoding_UTF8);
        name->Assign(file.c_str(), fmx::Text::kEncoding_UTF8);
        fmx::DataVectUniquePtr bound;
        for (const fmx::Data *parameter : parameters)
            bound->PushBack(*parameter);
        const short code = session_.Env().ExecuteFileSQL(*text, *name, *bound, *rows_);
        if (shown != nullptr) {
            shown->clear();
            for (fmx::uint32 r = 0; r < rows_->Size(); ++r) {
                *shown += r ? " / " : "";
                const fmx::DataVect &row = rows_->At(r);
                for (fmx::uint32 v = 0; v < row.Size(); ++v)
                    *shown += std::string(v ? " " : "") + FMHost::TypeName(FMHost::TypeOf(row.At(v))) + ":" +
                              FMHost::TextOf(row.At(v));
            }
        }
        return code;
    }

    FMHost::Session session_;
    fmx::RowVectUniquePtr rows_;
};

TEST_F(SqlHostedFiles, RowsCarryTheSqliteTypeAsHostType)
{
    std::string shown;
    ASSERT_EQ(0, Query("SELECT id, n, s, b FROM t WHERE id < 3 ORDER BY id", "", {}, &shown));
    EXPECT_EQ("Number:1 Number:1.5 Text:one Text: / Number:2 Text: Text:tab\there Container:", shown);
    EXPECT_TRUE(rows_->At(0).At(3).IsEmpty());
    const fmx::BinaryData &blob = rows_->At(1).At(3).GetBinaryData();
    fmx::QuadCharUniquePtr file('F', 'I', 'L', 'E');
    const fmx::int32 stream = blob.GetIndex(*file);
    ASSERT_GE(stream, 0);
    unsigned char bytes[2] = {1, 1};
    ASSERT_EQ(2u, blob.GetSize(stream));
    blob.GetData(stream, 0, 2, bytes);
    EXPECT_EQ(0x00, bytes[0]);
    EXPECT_EQ(0xff, bytes[1]);
    ASSERT_EQ(0, Query("SELECT 0.1, -2.5e-3, 1e15, 123456789012, 9007199254740993", "", {}, &shown));
    EXPECT_EQ("Number:0.1 Number:-0.0025 Number:1000000000000000 Number:123456789012 Number:9007199254740993", shown);
}

// Results are kept compact and their rows made into host values when read: every row must read back right however
// the plug-in walks it, and a row of a small result must stay where the plug-in was given it.
TEST_F(SqlHostedFiles, RowsReadInAnyOrderKeepTheirValues)
{
    const std::string series = "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 20000) "
                               "SELECT i, i * 0.5, 'row ' || i, CASE WHEN i % 7 = 0 THEN NULL ELSE x'0102' END FROM s";
    ASSERT_EQ(0, Query(series));
    ASSERT_EQ(20000u, rows_->Size());
    const auto check = [&](fmx::uint32 r) {
        const fmx::DataVect &row = rows_->At(r);
        ASSERT_EQ(4u, row.Size());
        const long i = static_cast<long>(r) + 1;
        EXPECT_EQ(i, row.At(0).GetAsNumber().AsLong());
        EXPECT_EQ(FMHost::TextOf(row.At(1)), emu::NumberFromReal(static_cast<double>(i) * 0.5).ToString());
        EXPECT_EQ("row " + std::to_string(i), FMHost::TextOf(row.At(2)));
        EXPECT_EQ(std::string(i % 7 == 0 ? "Text" : "Container"), FMHost::TypeName(FMHost::TypeOf(row.At(3))));
    };
    for (fmx::uint32 r = 0; r < rows_->Size(); ++r)
        check(r);
    for (fmx::uint32 r = rows_->Size(); r-- > 0;)  // backwards, and again the first rows, read long ago
        check(r);
    check(0);

    ASSERT_EQ(0, Query("SELECT id, s FROM t ORDER BY id"));
    std::vector<const fmx::DataVect *> first;
    for (fmx::uint32 r = 0; r < rows_->Size(); ++r)
        first.push_back(&rows_->At(r));
    for (fmx::uint32 r = 0; r < rows_->Size(); ++r)
        EXPECT_EQ(first[r], &rows_->At(r));
    EXPECT_EQ("one", FMHost::TextOf(first[0]->At(1)));
}

TEST_F(SqlHostedFiles, HostValuesBindAsParameters)
{
    fmx::LocaleUniquePtr locale;
    fmx::TextUniquePtr text;
    text->Assign("Caf\xC3\xA9", fmx::Text::kEncoding_UTF8);
    fmx::DataUniquePtr asText, whole, fraction, date, empty;
    asText->SetAsText(*text, *locale);
    fmx::FixPtUniquePtr number(42);
    whole->SetAsNumber(*number);
    number->AssignDouble(2.5);
    fraction->SetAsNumber(*number);
    fmx::DateTimeUniquePtr day;
    day->SetNormalizedDate(12, 31, 2026);
    date->SetAsDate(*day);
    std::string shown;
    ASSERT_EQ(0, Query("SELECT ?, typeof(?), ?, typeof(?), ?, ? IS NULL",
                       "", {&*asText, &*whole, &*whole, &*fraction, &*date, &*empty}, &shown));
    EXPECT_EQ("Text:Caf\xC3\xA9 Text:integer Number:42 Text:real Text:2026-12-31 Number:1", shown);
}

TEST_F(SqlHostedFiles, FilesAreFoundByNameOrAreTheCallingFile)
{
    session_.OpenFile("Plain");
    std::string shown;
    ASSERT_EQ(0, Query("SELECT count(*) FROM t", "invoices", {}, &shown));  // names compare without case
    EXPECT_EQ("Number:3", shown);
    ASSERT_TRUE(session_.SetCallingFile("Plain"));
    EXPECT_EQ(emu::sqlerr::kNoDatabase, Query("SELECT 1"));
    EXPECT_EQ(emu::sqlerr::kNoSuchFile, Query("SELECT 1", "Elsewhere"));
    ASSERT_TRUE(session_.CloseFile("Invoices"));
    EXPECT_EQ(emu::sqlerr::kNoSuchFile, Query("SELECT 1", "Invoices"));
}

TEST_F(SqlHostedFiles, AFailedQueryLeavesNoRows)
{
    ASSERT_EQ(0, Query("SELECT id FROM t"));
    ASSERT_EQ(3u, rows_->Size());
    EXPECT_EQ(emu::sqlerr::kSyntax, Query("SELEC id FROM t"));
    EXPECT_EQ(0u, rows_->Size());
    // Rows already produced when the query fails are dropped too.
    EXPECT_EQ(emu::sqlerr::kOther,
              Query("SELECT CASE WHEN id < 3 THEN id ELSE abs(-9223372036854775807 - 1) END FROM t ORDER BY id"));
    EXPECT_EQ(0u, rows_->Size());
}

TEST_F(SqlHostedFiles, ADatabaseThatCannotOpenLeavesTheSessionAsItWas)
{
    EXPECT_THROW(session_.OpenFile("Invoices", path_ + ".missing"), std::runtime_error);
    EXPECT_THROW(session_.OpenFile("Other", path_ + ".missing"), std::runtime_error);
    EXPECT_EQ(std::vector<std::string>{"Invoices"}, session_.FileNames());
    EXPECT_EQ(0, Query("SELECT 1"));
}

// Sessions on their own threads, each with its own connection to the same database, reading and writing at once.
TEST_F(SqlHostedFiles, SessionsOnSeveralThreads)
{
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            FMHost::Session session;
            session.OpenFile("Invoices", path_);
            fmx::TextUniquePtr read, write, none;
            read->Assign("SELECT count(*) FROM t WHERE id < 4");
            write->Assign(("INSERT INTO t (id, s) VALUES (" + std::to_string(100 + t) + ", 'x')").c_str());
            fmx::DataVectUniquePtr parameters;
            for (int i = 0; i < 100; ++i) {
                fmx::RowVectUniquePtr rows;
                if (session.Env().ExecuteFileSQL(*read, *none, *parameters, *rows) != 0 || rows->Size() != 1 ||
                    FMHost::TextOf(rows->At(0).At(0)) != "3")
                    ++wrong;
            }
            fmx::RowVectUniquePtr rows;
            if (session.Env().ExecuteFileSQL(*write, *none, *parameters, *rows) != 0)
                ++wrong;
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(0, wrong.load());
    std::string shown;
    ASSERT_EQ(0, Query("SELECT count(*) FROM t", "", {}, &shown));
    EXPECT_EQ("Number:7", shown);
}

TEST_F(SqlHostedFiles, HostFailuresReachTheCaller)
{
    fmx::TextUniquePtr query, file;
    query->Assign("SELECT * FROM t");
    fmx::DataVectUniquePtr none;
    FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kBadAlloc);
    EXPECT_THROW(session_.Env().ExecuteFileSQL(*query, *file, *none, *rows_), std::bad_alloc);
    FMHost::Faults::ClearCallFailure();
    EXPECT_EQ(0u, rows_->Size());
}

}  // namespace
