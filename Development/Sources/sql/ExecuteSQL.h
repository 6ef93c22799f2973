#ifndef VANTREL_SQL_EXECUTESQL_H
#define VANTREL_SQL_EXECUTESQL_H

#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

// Vantrel_ExecuteSQL( SQLCommand { ; fieldSeparator { ; recordSeparator } } ): runs the query on the calling file
// and gives the rows as one text. Success: last error 0 "No Error Message"; an SQL error: the host's code as the
// result and as the last error, with "SQL Error".
fmx::errcode Vantrel_ExecuteSQL(short functionId, const fmx::ExprEnv &env, const fmx::DataVect &args,
                                fmx::Data &result);

namespace vtl
{
// One separator character: one UTF-16 unit, or two for a character outside the BMP.
struct cSeparator
{
    fmx::uint16 units[2];
    fmx::uint32 count;
};

// Appends the text form of every value of rows to out: fieldSeparator between the values of a row,
// recordSeparator between rows, nothing before the first or after the last. Linear in the size of the result.
void AppendRowsAsText(const fmx::RowVect &rows, const cSeparator &fieldSeparator, const cSeparator &recordSeparator,
                      std::vector<fmx::uint16> &out);
}

#endif
