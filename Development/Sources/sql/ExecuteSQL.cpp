#include "sql/ExecuteSQL.h"

#include <algorithm>
#include <stdexcept>

#include "FMWrapper/FMXText.h"
#include "errors/FunctionGuard.h"
#include "errors/LastError.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace
{
constexpr fmx::uint16 kDefaultFieldSeparator = 9;   // tab
constexpr fmx::uint16 kDefaultRecordSeparator = 13; // carriage return, the host's paragraph mark

void AppendSeparator(const vtl::cSeparator &separator, std::vector<fmx::uint16> &out)
{
    out.push_back(separator.units[0]);
    if (separator.count == 2)
        out.push_back(separator.units[1]);
}

// The separator argument index gives: its first character, or the default when the caller gave none or an empty
// text ("no separator" is not something one character can express). A character outside the BMP is kept whole:
// its first UTF-16 unit alone would be a broken surrogate in every row.
vtl::cSeparator SeparatorArgument(const fmx::DataVect &args, fmx::uint32 index, fmx::uint16 fallback)
{
    vtl::cSeparator separator{{fallback, 0}, 1};
    if (args.Size() <= index)
        return separator;
    const fmx::Text &text = args.AtAsText(index);
    const fmx::uint32 size = text.GetSize();
    if (size == 0)
        return separator;
    text.GetUnicode(separator.units, 0, size >= 2 ? 2 : 1);
    const bool pair =
        size >= 2 && (separator.units[0] & 0xFC00) == 0xD800 && (separator.units[1] & 0xFC00) == 0xDC00;
    separator.count = pair ? 2 : 1;
    return separator;
}

void AppendText(const fmx::Text &text, std::vector<fmx::uint16> &out)
{
    const fmx::uint32 size = text.GetSize();
    if (size == 0)
        return;
    const std::size_t start = out.size();
    out.resize(start + size); // geometric growth keeps a whole result linear
    text.GetUnicode(out.data() + start, 0, size);
}

// The length of a row's text with its field separators.
std::size_t RowLength(const fmx::DataVect &row, const vtl::cSeparator &fieldSeparator)
{
    const fmx::uint32 valueCount = row.Size();
    std::size_t length = valueCount > 0 ? (valueCount - 1) * std::size_t(fieldSeparator.count) : 0;
    for (fmx::uint32 v = 0; v < valueCount; ++v)
        length += row.AtAsText(v).GetSize();
    return length;
}

// Rows of one query tend to be alike, and where they grow (counters, sorted keys) the last is the longest: room
// for all of them at the longer of the first and the last saves the copies of repeated growth on large results
// (room never written costs no memory). Growth stays geometric when the guess is short.
void ReserveForRows(std::vector<fmx::uint16> &out, const fmx::RowVect &rows, const vtl::cSeparator &fieldSeparator,
                    const vtl::cSeparator &recordSeparator)
{
    constexpr std::size_t kMaxGuess = std::size_t(1) << 28;
    const fmx::uint32 rowCount = rows.Size();
    const std::size_t rowGuess =
        std::max(out.size(), RowLength(rows.At(rowCount - 1), fieldSeparator)) + recordSeparator.count;
    out.reserve(rowGuess < kMaxGuess / rowCount ? rowGuess * rowCount : kMaxGuess);
}

void ExecuteSQL(const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    if (args.Size() == 0)
        return;
    const vtl::cSeparator recordSeparator = SeparatorArgument(args, 2, kDefaultRecordSeparator);
    const vtl::cSeparator fieldSeparator = SeparatorArgument(args, 1, kDefaultFieldSeparator);

    fmx::TextUniquePtr callingFile; // empty: the file whose calculation called us
    fmx::DataVectUniquePtr parameters;
    fmx::RowVectUniquePtr rows;
    const fmx::errcode code = env.ExecuteFileSQL(args.AtAsText(0), *callingFile, *parameters, *rows);
    if (code != 0)
    {
        fmlib::FMErrCode2FMData(code, result);
        vtl::SetLastError(code, "SQL Error", env);
        return;
    }

    std::vector<fmx::uint16> units;
    vtl::AppendRowsAsText(*rows, fieldSeparator, recordSeparator, units);
    rows.reset(); // the rows and their text are not needed at the same time
    if (units.size() > 0xFFFFFFFFu)
        throw std::length_error("The result of the query is too long for one text");
    fmx::TextUniquePtr text;
    text->AssignUnicodeWithLength(units.data(), static_cast<fmx::uint32>(units.size()));
    std::vector<fmx::uint16>().swap(units); // nor are the units and the host's copy of them
    fmlib::SetTextResult(result, *text);
    vtl::SetLastError(0, "No Error Message", env);
}
}

namespace vtl
{
void AppendRowsAsText(const fmx::RowVect &rows, const cSeparator &fieldSeparator, const cSeparator &recordSeparator,
                      std::vector<fmx::uint16> &out)
{
    const fmx::uint32 rowCount = rows.Size();
    for (fmx::uint32 r = 0; r < rowCount; ++r)
    {
        if (r == 1)
            ReserveForRows(out, rows, fieldSeparator, recordSeparator);
        if (r > 0)
            AppendSeparator(recordSeparator, out);
        const fmx::DataVect &row = rows.At(r);
        const fmx::uint32 valueCount = row.Size();
        for (fmx::uint32 v = 0; v < valueCount; ++v)
        {
            if (v > 0)
                AppendSeparator(fieldSeparator, out);
            AppendText(row.AtAsText(v), out);
        }
    }
}
}

fmx::errcode Vantrel_ExecuteSQL(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_ExecuteSQL", env, result, [&] { ExecuteSQL(env, args, result); });
}
