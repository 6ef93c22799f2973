// The emulator's SQL engine on SQLite: typed values, parameters, error codes, locking and threads.
#include "sql/SqlDatabase.h"
#include "sql/SqlErrors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
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

}  // namespace
