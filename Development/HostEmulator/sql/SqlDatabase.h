// The SQLite database behind a hosted file: one read-write connection per hosted file, shared by every thread
// that queries the file (queries on one file run one at a time).
#ifndef FMHOST_SQL_SQLDATABASE_H
#define FMHOST_SQL_SQLDATABASE_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace emu {

enum class SqlKind { Null, Integer, Real, Text, Blob };

// A parameter bound to a `?` placeholder.
struct SqlValue {
    SqlKind kind = SqlKind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::u16string text;
    std::string blob;
};

// The current row of a running query; valid only during cSqlRowSink::OnRow.
class cSqlRow {
public:
    explicit cSqlRow(sqlite3_stmt *statement) : statement_(statement) {}
    int Size() const;
    SqlKind KindAt(int column) const;
    std::int64_t IntegerAt(int column) const;
    double RealAt(int column) const;
    std::u16string_view TextAt(int column) const;  // valid until the next TextAt
    std::string_view BlobAt(int column) const;

private:
    sqlite3_stmt *statement_;
    mutable std::u16string text_;
};

// Receives the rows of a query as SQLite produces them. A query that fails after some rows have been
// delivered still answers its error code: the receiver must then drop what it got.
class cSqlRowSink {
public:
    virtual void OnRow(const cSqlRow &row) = 0;

protected:
    ~cSqlRowSink() = default;
};

class cSqlDatabase {
public:
    // How long a query waits for a lock held by another connection before it fails with sqlerr::kBusy.
    static constexpr int kBusyTimeoutMs = 2000;

    // Opens an existing database read-write. Throws std::runtime_error naming the path when the file is
    // missing or is not an SQLite database, so that a typing error never creates an empty database.
    static std::shared_ptr<cSqlDatabase> Open(const std::string &path);
    ~cSqlDatabase();
    cSqlDatabase(const cSqlDatabase &) = delete;
    cSqlDatabase &operator=(const cSqlDatabase &) = delete;

    // Runs one statement with the parameters bound in order. Answers 0 or an sqlerr code; SQLite's own message
    // goes to *message when given. Throws std::bad_alloc when SQLite runs out of memory, and whatever the sink throws.
    short Execute(std::u16string_view query, const std::vector<SqlValue> &parameters, cSqlRowSink &sink,
                  std::string *message = nullptr);

    const std::string &Path() const { return path_; }

private:
    cSqlDatabase(sqlite3 *db, std::string path) : db_(db), path_(std::move(path)) {}
    short Fail_(int rc, std::string *message) const;
    short Run_(std::u16string_view query, const std::vector<SqlValue> &parameters, cSqlRowSink &sink,
               std::string *message);

    std::mutex mutex_;
    sqlite3 *db_;
    std::string path_;
};

}  // namespace emu

#endif
