#include "sql/SqlDatabase.h"

#include "core/Encoding.h"
#include "sql/SqlErrors.h"

#include <sqlite3.h>

#include <cstring>
#include <new>
#include <stdexcept>

namespace emu {

namespace {

constexpr int32_t kUtf8Encoding = 1;

struct StatementCloser {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementCloser>;

bool StartsWith(const char *text, const char *prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

short ClassifyError(int rc, const char *message)
{
    switch (rc & 0xff) {
    case SQLITE_NOMEM:
        throw std::bad_alloc();
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return sqlerr::kBusy;
    case SQLITE_RANGE:
        return sqlerr::kParameterCount;
    case SQLITE_ERROR:
        if (StartsWith(message, "no such table") || StartsWith(message, "no such column") ||
            StartsWith(message, "no such function"))
            return sqlerr::kUnknownName;
        if (std::strstr(message, "syntax error") != nullptr || StartsWith(message, "incomplete input") ||
            StartsWith(message, "unrecognized token"))
            return sqlerr::kSyntax;
        return sqlerr::kOther;
    default:
        return sqlerr::kOther;
    }
}

// True when the text after the first statement holds another statement. Only blanks, comments and
// semicolons may follow: silently dropping a second statement would hide what the caller meant.
bool HasFurtherStatement(sqlite3 *db, const char16_t *tail, const char16_t *end)
{
    while (tail < end) {
        sqlite3_stmt *raw = nullptr;
        const void *next = nullptr;
        const int rc = sqlite3_prepare16_v2(db, tail, static_cast<int>((end - tail) * sizeof(char16_t)), &raw, &next);
        StatementPtr statement(raw);
        if (rc != SQLITE_OK || statement != nullptr)
            return true;
        const auto *after = static_cast<const char16_t *>(next);
        if (after == nullptr || after <= tail)
            return false;
        tail = after;
    }
    return false;
}

int Bind(sqlite3_stmt *statement, int index, const SqlValue &value)
{
    switch (value.kind) {
    case SqlKind::Integer:
        return sqlite3_bind_int64(statement, index, value.integer);
    case SqlKind::Real:
        return sqlite3_bind_double(statement, index, value.real);
    case SqlKind::Text:
        return sqlite3_bind_text16(statement, index, value.text.data(),
                                   static_cast<int>(value.text.size() * sizeof(char16_t)), SQLITE_STATIC);
    case SqlKind::Blob:
        return sqlite3_bind_blob64(statement, index, value.blob.data(), value.blob.size(), SQLITE_STATIC);
    case SqlKind::Null:
        break;
    }
    return sqlite3_bind_null(statement, index);
}

}  // namespace

int cSqlRow::Size() const { return sqlite3_column_count(statement_); }

SqlKind cSqlRow::KindAt(int column) const
{
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return SqlKind::Integer;
    case SQLITE_FLOAT:
        return SqlKind::Real;
    case SQLITE_TEXT:
        return SqlKind::Text;
    case SQLITE_BLOB:
        return SqlKind::Blob;
    default:
        return SqlKind::Null;
    }
}

std::int64_t cSqlRow::IntegerAt(int column) const { return sqlite3_column_int64(statement_, column); }

double cSqlRow::RealAt(int column) const { return sqlite3_column_double(statement_, column); }

std::u16string_view cSqlRow::TextAt(int column) const
{
    // SQLite stores UTF-8 here; its own conversion to UTF-16 costs several times what decoding it ourselves does.
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement_, column));
    if (bytes == nullptr) {
        if (sqlite3_errcode(sqlite3_db_handle(statement_)) == SQLITE_NOMEM)
            throw std::bad_alloc();
        return {};
    }
    DecodeBytes(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)), kUtf8Encoding, text_);
    return text_;
}

std::string_view cSqlRow::BlobAt(int column) const
{
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement_, column));
    if (bytes == nullptr)
        return {};
    return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

std::shared_ptr<cSqlDatabase> cSqlDatabase::Open(const std::string &path)
{
    sqlite3 *raw = nullptr;
    // Execute serialises the use of the connection itself, so SQLite need not lock on every column read.
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> db(raw, sqlite3_close_v2);
    if (db == nullptr)
        throw std::bad_alloc();
    if (rc == SQLITE_OK)
        sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    // SQLite reads the file lazily; touching the schema now turns "not a database" into an error at open.
    if (rc != SQLITE_OK ||
        sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open SQLite database \"" + path + "\": " + sqlite3_errmsg(db.get()));
    std::shared_ptr<cSqlDatabase> database(new cSqlDatabase(db.get(), path));
    db.release();
    return database;
}

cSqlDatabase::~cSqlDatabase() { sqlite3_close_v2(db_); }

short cSqlDatabase::Fail_(int rc, std::string *message) const
{
    const char *text = sqlite3_errmsg(db_);
    if (message != nullptr)
        *message = text;
    return ClassifyError(rc, text);
}

short cSqlDatabase::Execute(std::u16string_view query, const std::vector<SqlValue> &parameters, cSqlRowSink &sink,
                            std::string *message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (message != nullptr)
        message->clear();
    return Run_(query, parameters, sink, message);
}

short cSqlDatabase::Run_(std::u16string_view query, const std::vector<SqlValue> &parameters, cSqlRowSink &sink,
                         std::string *message)
{
    const char16_t *end = query.data() + query.size();
    sqlite3_stmt *raw = nullptr;
    const void *tail = nullptr;
    int rc = sqlite3_prepare16_v2(db_, query.data(), static_cast<int>(query.size() * sizeof(char16_t)), &raw, &tail);
    StatementPtr statement(raw);
    if (rc != SQLITE_OK)
        return Fail_(rc, message);
    if (statement == nullptr) {
        if (message != nullptr)
            *message = "the query holds no statement";
        return sqlerr::kSyntax;
    }
    if (HasFurtherStatement(db_, static_cast<const char16_t *>(tail), end)) {
        if (message != nullptr)
            *message = "the query holds more than one statement";
        return sqlerr::kSeveralStatements;
    }
    if (sqlite3_bind_parameter_count(statement.get()) != static_cast<int>(parameters.size())) {
        if (message != nullptr)
            *message = "the query has " + std::to_string(sqlite3_bind_parameter_count(statement.get())) +
                       " placeholders but " + std::to_string(parameters.size()) + " parameters were given";
        return sqlerr::kParameterCount;
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        rc = Bind(statement.get(), static_cast<int>(i + 1), parameters[i]);
        if (rc != SQLITE_OK)
            return Fail_(rc, message);
    }
    const cSqlRow row(statement.get());
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
        sink.OnRow(row);
    if (rc != SQLITE_DONE)
        return Fail_(rc, message);
    return 0;
}

}  // namespace emu
