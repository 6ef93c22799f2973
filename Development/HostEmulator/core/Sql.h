// The link between the host core and the SQL engine.
#pragma once

#include <cstdint>
#include <string>

#include "core/Session.h"
#include "core/RowVect.h"
#include "core/Value.h"

namespace emu {

// Implemented by the SQL engine: runs `query` against the SQLite database of the hosted file `fileName` (empty:
// the calling file) with `params` bound to its '?' placeholders. Answers 0 and fills `rows`, or a host error code.
int16_t ExecuteSQL(Environment &env, const std::u16string &query, const std::u16string &fileName,
                   const DataVect &params, RowVect &rows);

// The first query that failed on this thread since the last TakeSqlFailure: its code and why (SQLite's message).
struct SqlFailure
{
    int16_t code = 0;
    std::string message;
};
void NoteSqlFailure(int16_t code, const std::string &message);
SqlFailure TakeSqlFailure();

// Answered while no SQL engine is linked in ("command is unavailable").
enum : int16_t { kErrNoSqlEngine = 3 };

} // namespace emu
