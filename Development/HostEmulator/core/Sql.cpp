#include "core/Sql.h"

namespace emu {

// Stands in until the SQL engine is linked in; its definition replaces this one.
__attribute__((weak)) int16_t ExecuteSQL(Environment &, const std::u16string &, const std::u16string &,
                                         const DataVect &, RowVect &)
{
    return kErrNoSqlEngine;
}

} // namespace emu
