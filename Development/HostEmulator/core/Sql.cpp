#include "core/Sql.h"

#include <utility>

namespace emu {

namespace {
thread_local SqlFailure tSqlFailure;
} // namespace

void NoteSqlFailure(int16_t code, const std::string &message)
{
    if (tSqlFailure.code == 0)
        tSqlFailure = SqlFailure{code, message};
}

SqlFailure TakeSqlFailure()
{
    SqlFailure failure;
    std::swap(failure, tSqlFailure);
    return failure;
}

// Stands in until the SQL engine is linked in; its definition replaces this one.
__attribute__((weak)) int16_t ExecuteSQL(Environment &, const std::u16string &, const std::u16string &,
                                         const DataVect &, RowVect &)
{
    return kErrNoSqlEngine;
}

} // namespace emu
