#include "sql/FileSql.h"

#include <cstdio>

#include "core/Encoding.h"
#include "sql/SqlDatabase.h"
#include "sql/SqlErrors.h"

namespace emu {

namespace {

std::u16string Ascii(const char *text)
{
    std::u16string out;
    for (; *text != '\0'; ++text)
        out.push_back(static_cast<char16_t>(*text));
    return out;
}

// Dates and times are bound in the ISO forms that SQLite's date functions read.
std::u16string IsoDate(const DateTime &value)
{
    int64_t year = 0;
    int month = 0, day = 0;
    value.YearMonthDay(year, month, day);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d", static_cast<long long>(year), month, day);
    return Ascii(buffer);
}

std::u16string IsoTime(int64_t usec)
{
    const bool negative = usec < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(usec) : static_cast<uint64_t>(usec);
    const uint64_t seconds = magnitude / DateTime::kUsecPerSec;
    const uint64_t fraction = magnitude % DateTime::kUsecPerSec;
    char buffer[48];
    int length = std::snprintf(buffer, sizeof buffer, "%s%02llu:%02llu:%02llu", negative ? "-" : "",
                               static_cast<unsigned long long>(seconds / 3600),
                               static_cast<unsigned long long>(seconds / 60 % 60),
                               static_cast<unsigned long long>(seconds % 60));
    if (fraction != 0 && length > 0)
        std::snprintf(buffer + length, sizeof buffer - static_cast<size_t>(length), ".%06llu",
                      static_cast<unsigned long long>(fraction));
    return Ascii(buffer);
}

SqlValue Parameter(const Value &value)
{
    SqlValue out;
    if (value.IsEmpty())
        return out;
    switch (value.Type()) {
    case kDTText:
        out.kind = SqlKind::Text;
        out.text = value.AsText().Chars();
        break;
    case kDTNumber:
    case kDTBoolean: {
        const Number &number = value.AsNumber();
        const int64_t whole = number.ToInt64();
        if (number.IsInteger() && Number::Compare(Number::FromInt(whole), number) == 0) {
            out.kind = SqlKind::Integer;
            out.integer = whole;
        } else {
            out.kind = SqlKind::Real;
            out.real = number.ToDouble();
        }
        break;
    }
    case kDTDate:
        out.kind = SqlKind::Text;
        out.text = IsoDate(value.AsDate());
        break;
    case kDTTime:
        out.kind = SqlKind::Text;
        out.text = IsoTime(value.AsTime().Usec());
        break;
    case kDTTimeStamp: {
        const DateTime &stamp = value.AsTimestamp();
        out.kind = SqlKind::Text;
        out.text = IsoDate(stamp) + u" " + IsoTime(stamp.UsecOfDay());
        break;
    }
    case kDTBinary: {
        // The content of a container is its file stream, or its first stream when it has none.
        const BinaryData &binary = value.AsBinary();
        if (binary.Empty())
            break;
        const int32_t file = binary.IndexOf(QuadChar::Of("FILE"));
        const auto &bytes = binary.Streams()[file >= 0 ? static_cast<size_t>(file) : 0].bytes;
        out.kind = SqlKind::Blob;
        out.blob.assign(bytes.begin(), bytes.end());
        break;
    }
    default:
        break;
    }
    return out;
}

// Keeps why a query failed, for whoever runs the calculation (the host's code alone does not say), and answers the
// code.
int16_t Failed(int16_t code, const std::string &message)
{
    NoteSqlFailure(code, message);
    return code;
}

// Stores each SQLite row in the result as it arrives.
class cRowBuilder final : public cSqlRowSink
{
public:
    explicit cRowBuilder(RowVect &rows) : rows_(rows) {}

    void OnRow(const cSqlRow &row) override
    {
        rows_.StartRow();
        const int count = row.Size();
        for (int column = 0; column < count; ++column) {
            switch (row.KindAt(column)) {
            case SqlKind::Integer:
                rows_.AddInteger(row.IntegerAt(column));
                break;
            case SqlKind::Real:
                rows_.AddReal(row.RealAt(column));
                break;
            case SqlKind::Text:
                rows_.AddText(row.TextAt(column));
                break;
            case SqlKind::Blob:
                rows_.AddBlob(row.BlobAt(column));
                break;
            case SqlKind::Null:
                rows_.AddNull();
                break;
            }
        }
    }

private:
    RowVect &rows_;
};

} // namespace

std::shared_ptr<cSqlDatabase> OpenFileDatabase(const std::string &path) { return cSqlDatabase::Open(path); }

int16_t ExecuteSQL(Environment &env, const std::u16string &query, const std::u16string &fileName,
                   const DataVect &parameters, RowVect &rows)
{
    rows.Clear();
    const Session &session = env.GetSession();
    const HostedFile *file = fileName.empty() ? session.CallingFile() : session.FindFile(fileName);
    if (file == nullptr)
        return Failed(sqlerr::kNoSuchFile, fileName.empty() ? std::string("no hosted file is open")
                                                            : "no hosted file " + Utf16ToUtf8(fileName) + " is open");
    // Holding the database keeps it open for this query even if the file is closed meanwhile.
    const std::shared_ptr<cSqlDatabase> database = file->database;
    if (database == nullptr)
        return Failed(sqlerr::kNoDatabase, "the hosted file " + Utf16ToUtf8(file->name) + " has no SQL database");

    std::vector<SqlValue> bound;
    bound.reserve(parameters.Size());
    for (uint32_t i = 0; i < parameters.Size(); ++i)
        bound.push_back(Parameter(*parameters.At(i)));

    cRowBuilder builder(rows);
    int16_t code = 0;
    std::string message;
    try {
        code = database->Execute(query, bound, builder, &message);
    } catch (...) {
        rows.Clear();
        throw;
    }
    if (code != 0) {
        rows.Clear();
        Failed(code, message);
    }
    return code;
}

} // namespace emu
